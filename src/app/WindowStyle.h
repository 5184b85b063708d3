#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>

class QWidget;

// The main window's look: its colours, the fonts standing in for the ones the window was designed
// with, and the resize grip's picture. Only static helpers; the window applies them as it builds.
class WindowStyle {
public:
    static inline const QColor kWindowBack{0xF2, 0xF2, 0xF2};
    static inline const QColor kTitleBarBack{0x3B, 0x7B, 0xEA};
    static inline const QColor kButtonBack{0x80, 0x80, 0x80};
    static inline const QColor kTitleButtonText{0xFF, 0xFF, 0x00};
    static inline const QColor kToolbarButtonText{0x40, 0x40, 0x40};
    static inline const QColor kTitleText{0xFF, 0xFF, 0xFF};
    static inline const QColor kCounterBack{0xE0, 0xE0, 0xE0};

    // Metric-compatible with Arial, so captions fit where the layout expects them.
    static QFont sans(double pointSize, bool bold = false);
    // For the key text, where columns matter.
    static QFont mono(double pointSize);

    // Fills the widget's background with back and draws its text in text (when valid).
    static void paint(QWidget* widget, const QColor& back, const QColor& text = QColor());
    // Back, text and font of a label-button.
    static void button(QWidget* widget, const QColor& text, double pointSize);

    // The 18 x 17 picture of the resize grip: three diagonal ridges towards the bottom-right corner.
    static QPixmap gripPicture();
};
