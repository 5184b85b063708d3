// Keystroke notation as any text may hold it: whatever the parser accepts is well formed (every key a
// named key or one character, never empty or half a character), and writing the strokes back in the
// notation and parsing that again gives the same strokes.

#include "FuzzCheck.h"
#include "platform/KeystrokeNotation.h"

namespace {

bool isOneCharacter(const QString& key) {
    if (key.size() == 1)
        return !key[0].isSurrogate();
    return key.size() == 2 && key[0].isHighSurrogate() && key[1].isLowSurrogate();
}

// The strokes in the notation, with every key that would mean something else braced.
QString notation(const QList<Keystroke>& strokes) {
    QString text;
    for (const Keystroke& stroke : strokes) {
        if (stroke.ctrl)
            text += u'^';
        if (stroke.alt)
            text += u'%';
        if (stroke.shift)
            text += u'+';
        if (stroke.key.size() == 1 && !QStringView(u"^%+~{}").contains(stroke.key[0]))
            text += stroke.key;
        else
            text += u'{' + stroke.key + u'}';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto strokes = KeystrokeNotation::parse(QString::fromUtf8(fuzzBytes(data, size)));
    if (!strokes)
        return 0;
    for (const Keystroke& stroke : *strokes)
        FUZZ_CHECK(KeystrokeNotation::isNamedKey(stroke.key) || isOneCharacter(stroke.key));
    FUZZ_CHECK(KeystrokeNotation::parse(notation(*strokes)) == strokes);
    return 0;
}
