// Names as a user may type them or a folder listing may hand them over: an accepted name never leads out
// of its folder or hides itself (no / or \, not "." or "..", no leading dot, no control character), and is
// exactly the name of the file made for it; sameName is reflexive and symmetric, and clashes agrees with it.

#include "FuzzCheck.h"
#include "store/NameRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

void checkAcceptable(const QString& name) {
    if (!NameRules::isAcceptable(name))
        return;
    FUZZ_CHECK(!name.isEmpty() && !name.startsWith(u'.') && name != u"." && name != u"..");
    for (const QChar c : name)
        FUZZ_CHECK(c != u'/' && c != u'\\' && c.unicode() >= 0x20 && (c.unicode() < 0x7F || c.unicode() > 0x9F));
    const QString folder = QStringLiteral("/store/Work");
    FUZZ_CHECK(QFileInfo(QDir::cleanPath(folder + u'/' + name)).path() == folder);
    // The bytes of the file name read back as a folder listing does, a leading U+FEFF included.
    QStringDecoder listing(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    FUZZ_CHECK(listing(QFile::encodeName(name)) == name);
}

// No unpaired surrogate anywhere.
bool wellFormed(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Two names as UTF-16, so that any QString can turn up: the first byte tells the first name's length.
    if (size == 0)
        return 0;
    const auto utf16 = [](const uint8_t* units, size_t count) {
        QString name(static_cast<qsizetype>(count), Qt::Uninitialized);
        if (count > 0)
            std::memcpy(name.data(), units, count * sizeof(QChar));
        return name;
    };
    const size_t units = (size - 1) / 2;
    const size_t first = std::min<size_t>(data[0], units);
    const QString a = utf16(data + 1, first);
    const QString b = utf16(data + 1 + 2 * first, units - first);
    checkAcceptable(a);
    checkAcceptable(b);

    FUZZ_CHECK(NameRules::sameName(a, a));
    FUZZ_CHECK(NameRules::sameName(a, b) == NameRules::sameName(b, a));
    // Qt folds half a character together with its neighbour, differently from how compare() sees it, so
    // folding is only a measure for whole characters; names holding half a character are refused anyway.
    if (wellFormed(a) && wellFormed(b))
        FUZZ_CHECK(NameRules::sameName(a, b) == NameRules::sameName(a.toCaseFolded(), b.toCaseFolded()));
    // A listing never holds the empty name, which clashes() takes for "no exception".
    FUZZ_CHECK(b.isEmpty() || NameRules::clashes(a, {b}) == NameRules::sameName(a, b));
    FUZZ_CHECK(!NameRules::clashes(a, {b}, b));
    return 0;
}
