#pragma once

#include <QString>

#include <cstdint>

// The keysym of a keystroke's key, in the numbering X11 and xkbcommon share: a named key of the notation
// ("TAB", "F4", ...) or a single character. 0 for a name no keyboard has.
namespace KeySyms {
std::uint32_t forKey(const QString& key);
} // namespace KeySyms
