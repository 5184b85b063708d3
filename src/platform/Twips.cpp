#include "platform/Twips.h"

#include <cmath>

int Twips::toPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kPerPixel));
}

int Twips::toTwips(int pixels) {
    return pixels * kPerPixel;
}

QRect Twips::toPixels(const Rect& rect) {
    const int left = toPixels(rect.left);
    const int top = toPixels(rect.top);
    return {left, top, toPixels(rect.left + rect.width) - left, toPixels(rect.top + rect.height) - top};
}
