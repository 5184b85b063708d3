#include "store/KeyFile.h"

#include "platform/TextFile.h"

QString KeyFile::editorText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += line + TextFile::kLineEnd;
    if (text.endsWith(TextFile::kLineEnd))
        text.chop(TextFile::kLineEnd.size());
    return text;
}

std::optional<QString> KeyFile::readForEditor(const QString& path) {
    const auto lines = TextFile::readLines(path);
    if (!lines)
        return std::nullopt;
    return editorText(*lines);
}

QString KeyFile::saveFormat(const QString& editorText) {
    return editorText + TextFile::kLineEnd;
}
