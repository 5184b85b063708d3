// What a key file's bytes paste: no comment line survives, every other line does, in order, joined by
// CR LF, and no placeholder is left. The placeholders are replaced in one pass: with a date and a time
// that themselves read "[time]" and "[date]" the result matches a plain left-to-right scan, so inserted
// text is never scanned again.

#include "FuzzCheck.h"
#include "expand/ExpansionText.h"
#include "platform/TextFile.h"

namespace {

const QString kDate = QStringLiteral("[date]");
const QString kTime = QStringLiteral("[time]");

QString scanOnce(QStringView text, const QString& date, const QString& time) {
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const QStringView rest = text.mid(i);
        if (rest.startsWith(kDate)) {
            out += date;
            i += kDate.size();
        } else if (rest.startsWith(kTime)) {
            out += time;
            i += kTime.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = TextFile::decode(fuzzBytes(data, size));
    FUZZ_CHECK(ExpansionText::replacePlaceholders(text, kTime, kDate) == scanOnce(text, kTime, kDate));

    const QStringList lines = TextFile::splitLines(text);
    const QString pasted = ExpansionText::build(lines, QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59)));
    FUZZ_CHECK(!pasted.contains(kDate) && !pasted.contains(kTime));
    qsizetype kept = 0;
    for (const QString& line : lines)
        kept += line.startsWith(u"*/") ? 0 : 1;
    const QStringList pastedLines = pasted.split(TextFile::kLineEnd);
    FUZZ_CHECK(kept == 0 ? pasted.isEmpty() : pastedLines.size() == kept);
    for (const QString& line : pastedLines)
        FUZZ_CHECK(!line.startsWith(u"*/") && !line.contains(u'\r'));
    return 0;
}
