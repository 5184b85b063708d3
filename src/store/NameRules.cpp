#include "store/NameRules.h"

namespace {
constexpr QStringView kForbidden = u"\\/:*?\"<>|";
} // namespace

bool NameRules::isBlank(const QString& text) {
    for (const QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

bool NameRules::isAcceptable(const QString& name) {
    if (isBlank(name) || name.startsWith(u'.'))
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        // Half a character has no file name of its own: it would be written as U+FFFD, so that two such
        // names would share one file.
        if (c.isSurrogate() || isForbiddenCharacter(c))
            return false;
    }
    return true;
}

bool NameRules::isForbiddenCharacter(QChar c) {
    return kForbidden.contains(c) || c.category() == QChar::Other_Control;
}

bool NameRules::sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool NameRules::clashes(const QString& name, const QStringList& existing, const QString& except) {
    for (const QString& entry : existing) {
        if (entry != except && sameName(entry, name))
            return true;
    }
    return false;
}
