#include "expand/ExpansionText.h"

#include "platform/ClockText.h"
#include "platform/TextFile.h"

namespace {
const QString kCommentMark = QStringLiteral("*/");
const QString kDatePlaceholder = QStringLiteral("[date]");
const QString kTimePlaceholder = QStringLiteral("[time]");
} // namespace

bool ExpansionText::isCommentLine(QStringView line) {
    return line.startsWith(kCommentMark);
}

QString ExpansionText::joinKeptLines(const QStringList& lines) {
    QString text;
    bool first = true;
    for (const QString& line : lines) {
        if (isCommentLine(line))
            continue;
        if (!first)
            text += TextFile::kLineEnd;
        text += line;
        first = false;
    }
    return text;
}

QString ExpansionText::replacePlaceholders(QStringView text, const QString& date, const QString& time) {
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    qsizetype at = text.indexOf(u'[');
    while (at >= 0) {
        const QStringView rest = text.mid(at);
        const QString* value = nullptr;
        if (rest.startsWith(kDatePlaceholder))
            value = &date;
        else if (rest.startsWith(kTimePlaceholder))
            value = &time;
        if (value) {
            out += text.mid(done, at - done);
            out += *value;
            done = at + kDatePlaceholder.size(); // both placeholders have the same length
            at = text.indexOf(u'[', done);
        } else {
            at = text.indexOf(u'[', at + 1);
        }
    }
    out += text.mid(done);
    return out;
}

QString ExpansionText::build(const QStringList& lines, const QDateTime& moment) {
    return replacePlaceholders(joinKeptLines(lines), ClockText::date(moment.date()), ClockText::time(moment.time()));
}
