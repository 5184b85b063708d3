#pragma once

class QWidget;

// Window manager requests that have no widget-level equivalent.
class WindowEffects {
public:
    virtual ~WindowEffects() = default;
    virtual void setStaysOnTop(QWidget* window, bool onTop) = 0;
    virtual void setOpacity(QWidget* window, double opacity) = 0;
    // Hands the window to the window manager's own move loop; false where none is available.
    virtual bool startSystemMove(QWidget* window) = 0;
    // Whether a window manager runs to act on minimise requests. Without one a "minimised" window stays
    // on screen, and the program must not go on treating it as minimised.
    virtual bool hasWindowManager() const = 0;
};
