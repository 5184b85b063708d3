// The bytes of a key file on their way to lines and back. Valid UTF-8 decodes to exactly its characters
// (a leading BOM aside), anything else to one Windows-1252 character per byte; the lines hold no CR and
// join back to the text; and what the editor shows, once saved and read again, comes back unchanged.

#include "FuzzCheck.h"
#include "platform/TextFile.h"
#include "store/KeyFile.h"

namespace {

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isUtf8(const QByteArray& bytes) {
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int follow = lead < 0x80             ? 0
                           : (lead & 0xE0) == 0xC0 ? 1
                           : (lead & 0xF0) == 0xE0 ? 2
                           : (lead & 0xF8) == 0xF0 ? 3
                                                   : -1;
        if (follow < 0 || bytes.size() - i <= follow)
            return false;
        char32_t code = follow == 0 ? lead : lead & (0x7F >> (follow + 1));
        for (int k = 1; k <= follow; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < kLeast[follow] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += follow + 1;
    }
    return true;
}

// Every lone CR made a CR LF: the text as the store's line rules see it.
QString withCrLf(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            out += u'\n';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = TextFile::decode(bytes);
    if (isUtf8(bytes)) {
        QByteArray expected = bytes;
        if (expected.startsWith("\xEF\xBB\xBF"))
            expected.remove(0, 3);
        FUZZ_CHECK(text.toUtf8() == expected);
    } else {
        FUZZ_CHECK(text.size() == bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            FUZZ_CHECK(b >= 0x80 && b < 0xA0 ? text[i].unicode() >= 0x80 : text[i].unicode() == b);
        }
    }

    const QStringList lines = TextFile::splitLines(text);
    const bool endsWithLineEnd = text.endsWith(u'\r') || text.endsWith(TextFile::kLineEnd);
    FUZZ_CHECK(lines.size() == text.count(u'\r') + (!text.isEmpty() && !endsWithLineEnd ? 1 : 0));
    for (const QString& line : lines)
        FUZZ_CHECK(!line.contains(u'\r'));
    QString joined = withCrLf(text);
    if (joined.endsWith(TextFile::kLineEnd))
        joined.chop(TextFile::kLineEnd.size());
    FUZZ_CHECK(lines.join(TextFile::kLineEnd) == joined);

    // The editor's text never holds a lone CR, so its save and reload must give it back exactly; any other
    // text comes back with its lone CRs as CR LF.
    const QString editor = KeyFile::editorText(lines);
    const QString reloaded =
        KeyFile::editorText(TextFile::splitLines(TextFile::decode(TextFile::encode(KeyFile::saveFormat(editor)))));
    FUZZ_CHECK(reloaded == editor);
    FUZZ_CHECK(KeyFile::editorText(TextFile::splitLines(KeyFile::saveFormat(text))) == withCrLf(text));
    return 0;
}
