#pragma once

#include "platform/KeystrokeNotation.h"

#include <QList>
#include <QString>

// The key events that send a keystroke sequence cleanly, whatever the user still holds. The paste often
// goes out while the fingers are still on Ctrl and C. A held Ctrl is never pressed or released by us
// (that would leave the user's Ctrl up); we hold the other Ctrl key for the stroke instead, so the
// paste is still Ctrl+V when the user lets go of Ctrl half-way through it, and the user's Ctrl is still
// down afterwards. Any other held modifier (Shift, Alt, Super, ...) is lifted for the length of the
// sequence and put back after, so Ctrl+V is exactly Ctrl+V.
namespace KeyPlan {

enum class Modifier { Ctrl, Shift, Alt, Other };

struct HeldKey {
    unsigned code;
    Modifier modifier;
};

struct Event {
    unsigned code;
    bool press;
    bool operator==(const Event&) const = default;
};

// One keystroke with its key code resolved, and the modifiers it needs (Shift also where the character
// sits on the shifted level of its key).
struct Stroke {
    unsigned code;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// The key codes the program may press for a modifier of its own, in order of preference (left, then
// right key); the first one the user does not hold is used.
struct ModifierCodes {
    QList<unsigned> ctrl;
    QList<unsigned> shift;
    QList<unsigned> alt;
};

QList<Event> plan(const QList<HeldKey>& held, const QList<Stroke>& strokes, const ModifierCodes& codes);

// The keystroke that pastes into a window with these WM_CLASS names (instance and class) or Wayland app
// ids (org.kde.konsole is konsole): Ctrl+Shift+V
// in terminals, where Ctrl+V is quoted-insert in a shell and a block selection in vim; Ctrl+V elsewhere.
QString pasteKeysFor(const QStringList& windowClass);

} // namespace KeyPlan
