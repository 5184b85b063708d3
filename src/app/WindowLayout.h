#pragma once

#include "platform/Twips.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// The main window's geometry in twips (1/1440 inch), the unit the layout has always been defined in.
// Pure arithmetic: no widgets.
namespace WindowLayout {

constexpr int kTwipsPerPixel = Twips::kPerPixel;

// The window starts at its minimum size; the grip never makes it smaller.
constexpr int kMinWidth = 7380;
constexpr int kMinHeight = 5445;

constexpr int kTitleBarHeight = 375;
constexpr int kToolbarHeight = 375;
constexpr int kGripWidth = 270;
constexpr int kGripHeight = 255;

// A rectangle in twips; controls inside the toolbar are relative to it.
using TwipRect = Twips::Rect;
using Twips::toPixels;
using Twips::toTwips;

// Where the controls that follow the window's size go, for a window of the given size.
struct Arrangement {
    int width = 0;  // the window's width after the minimum clamp
    int height = 0; // and its height
    TwipRect titleBar;
    TwipRect text2;
    TwipRect list1;
    TwipRect picture1;
    TwipRect label6; // inside the toolbar
    TwipRect resizepic;
};

// The resize rules, in their order: clamp to the minimum, then the grip to the corner, the text area
// grows with the window, the key list with the text area, the toolbar sits under the text area and
// its "Save" button at its right end.
Arrangement arrange(int width, int height);

// The window size a grip drag asks for: the grip's top-left corner under the pointer, given in twips
// relative to the window. Not clamped; arrange() does that.
QSize gripDragSize(QPoint pointerInWindow);

} // namespace WindowLayout
