#include "platform/KeySyms.h"

#include <QList>

std::uint32_t KeySyms::forKey(const QString& key) {
    static const struct {
        const char* name;
        std::uint32_t sym;
    } named[] = {{"TAB", 0xff09},    {"ENTER", 0xff0d}, {"ESC", 0xff1b},  {"BACKSPACE", 0xff08}, {"DELETE", 0xffff},
                 {"INSERT", 0xff63}, {"HOME", 0xff50},  {"END", 0xff57},  {"PGUP", 0xff55},      {"PGDN", 0xff56},
                 {"UP", 0xff52},     {"DOWN", 0xff54},  {"LEFT", 0xff51}, {"RIGHT", 0xff53},     {"BREAK", 0xff6b},
                 {"F1", 0xffbe},     {"F2", 0xffbf},    {"F3", 0xffc0},   {"F4", 0xffc1},        {"F5", 0xffc2},
                 {"F6", 0xffc3},     {"F7", 0xffc4},    {"F8", 0xffc5},   {"F9", 0xffc6},        {"F10", 0xffc7},
                 {"F11", 0xffc8},    {"F12", 0xffc9}};
    const QList<uint> codePoints = key.toUcs4();
    if (codePoints.size() != 1) {
        for (const auto& entry : named) {
            if (key == QLatin1String(entry.name))
                return entry.sym;
        }
        return 0;
    }
    const uint c = codePoints.first();
    // Latin-1 characters share their keysym values; the rest of Unicode sits at 0x01000000 + code point.
    if (c >= 0x20 && c < 0x7f)
        return c;
    if (c >= 0xa0 && c < 0x100)
        return c;
    return 0x01000000 | c;
}
