#include "platform/wayland/XkbKeys.h"

#include "platform/KeySyms.h"
#include "platform/KeystrokeNotation.h"

#include <xkbcommon/xkbcommon.h>

bool XkbKeys::find(xkb_keymap* keymap, uint32_t keysym, uint32_t& code, bool& shifted) {
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (int level = 0; level < 2; ++level) {
        for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last; ++key) {
            const xkb_keysym_t* syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, key, 0, level, &syms);
            for (int i = 0; i < count; ++i) {
                if (syms[i] == keysym) {
                    code = key;
                    shifted = level == 1;
                    return true;
                }
            }
        }
    }
    return false;
}

KeyPlan::ModifierCodes XkbKeys::modifierCodes(xkb_keymap* keymap, bool preferRight) {
    const auto codes = [&](uint32_t left, uint32_t right) {
        QList<unsigned> found;
        for (const uint32_t keysym : {preferRight ? right : left, preferRight ? left : right}) {
            uint32_t code = 0;
            bool shifted = false;
            if (find(keymap, keysym, code, shifted))
                found.append(code);
        }
        return found;
    };
    return {codes(XKB_KEY_Control_L, XKB_KEY_Control_R), codes(XKB_KEY_Shift_L, XKB_KEY_Shift_R),
            codes(XKB_KEY_Alt_L, XKB_KEY_Alt_R)};
}

bool XkbKeys::resolve(xkb_keymap* keymap, const QString& sequence, QList<KeyPlan::Stroke>& strokes) {
    const auto parsed = KeystrokeNotation::parse(sequence);
    if (!keymap || !parsed)
        return false;
    strokes.clear();
    for (const Keystroke& stroke : *parsed) {
        uint32_t code = 0;
        bool shifted = false;
        const uint32_t sym = KeySyms::forKey(stroke.key);
        // A letter named in upper case is its key with Shift, as the notation means it.
        if (sym == 0 || !find(keymap, sym, code, shifted))
            return false;
        strokes.append({code, stroke.ctrl, stroke.shift || shifted, stroke.alt});
    }
    return true;
}
