#pragma once

#include "platform/KeyPlan.h"

#include <cstdint>

struct xkb_keymap;

// Key codes looked up in a keymap, for the Wayland routes that send key codes: the virtual keyboard's own
// keymap, or the compositor's where it reads fake input with that.
namespace XkbKeys {

// The key code (xkb numbering) and shift level that give the keysym in the first layout; false when no
// key does.
bool find(xkb_keymap* keymap, uint32_t keysym, uint32_t& code, bool& shifted);

// The left and right Control, Shift and Alt keys of the keymap, in the order given by preferRight.
KeyPlan::ModifierCodes modifierCodes(xkb_keymap* keymap, bool preferRight);

// The keystroke notation resolved to key codes of the keymap; false when a key is unknown or has no key.
bool resolve(xkb_keymap* keymap, const QString& sequence, QList<KeyPlan::Stroke>& strokes);

} // namespace XkbKeys
