#pragma once

#include <QRect>

// The program's windows are laid out in twips (1/1440 inch), as they always were; this is the one place
// where twips become pixels. 15 twips make one device-independent pixel, so Qt's own high-DPI scaling
// serves larger screens.
namespace Twips {

constexpr int kPerPixel = 15;

// A rectangle in twips.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

int toPixels(int twips);
int toTwips(int pixels);
// Converts the edges, not the sizes, so neighbouring controls keep meeting where the twips say.
QRect toPixels(const Rect& rect);

} // namespace Twips
