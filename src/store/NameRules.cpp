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
    for (const QChar c : name) {
        if (kForbidden.contains(c) || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
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
