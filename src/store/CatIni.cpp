#include "store/CatIni.h"

#include "platform/TextFile.h"

namespace {
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}
} // namespace

QString CatIni::plainName(const QString& content) {
    qsizetype end = 0;
    while (end < content.size() && !isLineEnd(content.at(end)))
        ++end;
    QString name = content.left(end);
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    return name;
}

QString CatIni::firstField(const QString& content) {
    qsizetype i = 0;
    while (i < content.size() && (content.at(i) == u' ' || content.at(i) == u'\t' || isLineEnd(content.at(i))))
        ++i;
    if (i < content.size() && content.at(i) == u'"') {
        const qsizetype close = content.indexOf(u'"', i + 1);
        return close < 0 ? content.mid(i + 1) : content.mid(i + 1, close - i - 1);
    }
    qsizetype end = i;
    while (end < content.size() && content.at(end) != u',' && !isLineEnd(content.at(end)))
        ++end;
    QString field = content.mid(i, end - i);
    while (field.endsWith(u' ') || field.endsWith(u'\t'))
        field.chop(1);
    return field;
}

QString CatIni::chooseCategory(const QString& content, const QStringList& categories) {
    const QString plain = plainName(content);
    if (!plain.isEmpty() && categories.contains(plain))
        return plain;
    const QString field = firstField(content);
    if (!field.isEmpty() && categories.contains(field))
        return field;
    return {};
}

QString CatIni::content(const QString& categoryName) {
    return categoryName + TextFile::kLineEnd;
}

bool CatIni::write(const QString& path, const QString& categoryName) {
    return TextFile::writeAtomic(path, content(categoryName));
}
