#pragma once

#include <QList>
#include <QString>

#include <optional>

// One key press with the modifiers held around it.
struct Keystroke {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    // A single character ("v", or the surrogate pair of one beyond U+FFFF), or a named key in upper case
    // ("TAB", "ENTER", "ESC", ...).
    QString key;

    bool operator==(const Keystroke&) const = default;
};

// Parses the classic keystroke notation: "^" holds Ctrl, "%" holds Alt and "+" holds Shift for the next
// key or braced group; "{TAB}" names a key; "{^}" and "{{}" stand for the literal characters; "~" is
// Enter. Returns nothing for a malformed sequence (unclosed brace, unknown key name, dangling modifier).
namespace KeystrokeNotation {
std::optional<QList<Keystroke>> parse(const QString& sequence);
// The named keys the parser accepts, for backends that map them.
bool isNamedKey(const QString& name);
} // namespace KeystrokeNotation
