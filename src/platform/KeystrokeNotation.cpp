#include "platform/KeystrokeNotation.h"

#include <QSet>

namespace {

const QSet<QString>& namedKeys() {
    static const QSet<QString> keys = {
        QStringLiteral("TAB"),    QStringLiteral("ENTER"),  QStringLiteral("ESC"),  QStringLiteral("BACKSPACE"),
        QStringLiteral("BS"),     QStringLiteral("DELETE"), QStringLiteral("DEL"),  QStringLiteral("INSERT"),
        QStringLiteral("HOME"),   QStringLiteral("END"),    QStringLiteral("PGUP"), QStringLiteral("PGDN"),
        QStringLiteral("UP"),     QStringLiteral("DOWN"),   QStringLiteral("LEFT"), QStringLiteral("RIGHT"),
        QStringLiteral("F1"),     QStringLiteral("F2"),     QStringLiteral("F3"),   QStringLiteral("F4"),
        QStringLiteral("F5"),     QStringLiteral("F6"),     QStringLiteral("F7"),   QStringLiteral("F8"),
        QStringLiteral("F9"),     QStringLiteral("F10"),    QStringLiteral("F11"),  QStringLiteral("F12"),
        QStringLiteral("ESCAPE"), QStringLiteral("BREAK")};
    return keys;
}

// The UTF-16 units of the character at i: two for a surrogate pair, none for half of one, which is no
// character that could be typed.
qsizetype characterLength(QStringView text, qsizetype i) {
    if (!text[i].isSurrogate())
        return 1;
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 0;
}

} // namespace

bool KeystrokeNotation::isNamedKey(const QString& name) {
    return namedKeys().contains(name);
}

std::optional<QList<Keystroke>> KeystrokeNotation::parse(const QString& sequence) {
    QList<Keystroke> strokes;
    Keystroke held;
    bool modifierPending = false;
    int i = 0;
    while (i < sequence.size()) {
        const QChar c = sequence.at(i);
        if (c == u'^' || c == u'%' || c == u'+') {
            (c == u'^' ? held.ctrl : c == u'%' ? held.alt : held.shift) = true;
            modifierPending = true;
            ++i;
            continue;
        }
        Keystroke stroke = held;
        if (c == u'{') {
            // "{}}" and "{{}" are the braces themselves; otherwise the group runs to the first '}'.
            int close = -1;
            if (i + 1 < sequence.size() && sequence.at(i + 1) == u'}')
                close = i + 2 < sequence.size() && sequence.at(i + 2) == u'}' ? i + 2 : -1;
            else
                close = sequence.indexOf(u'}', i + 1);
            if (close < 0)
                return std::nullopt;
            const QString inside = sequence.mid(i + 1, close - i - 1);
            if (inside.isEmpty())
                return std::nullopt;
            if (characterLength(inside, 0) == inside.size()) {
                stroke.key = inside;
            } else {
                const QString name = inside.toUpper();
                if (!isNamedKey(name))
                    return std::nullopt;
                stroke.key = name == QLatin1String("ESCAPE") ? QStringLiteral("ESC")
                             : name == QLatin1String("DEL")  ? QStringLiteral("DELETE")
                             : name == QLatin1String("BS")   ? QStringLiteral("BACKSPACE")
                                                             : name;
            }
            i = close + 1;
        } else if (c == u'}') {
            return std::nullopt;
        } else if (c == u'~') {
            stroke.key = QStringLiteral("ENTER");
            ++i;
        } else {
            const qsizetype length = characterLength(sequence, i);
            if (length == 0)
                return std::nullopt;
            stroke.key = sequence.mid(i, length);
            i += length;
        }
        strokes.append(stroke);
        held = {};
        modifierPending = false;
    }
    if (modifierPending)
        return std::nullopt;
    return strokes;
}
