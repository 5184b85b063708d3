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
    // Before a window that was minimised or hidden is shown again: takes back whatever would make the
    // window manager map it minimised once more.
    virtual void prepareToShowAgain(QWidget* window) { (void)window; }
    // Raises the window and makes it the active one, as far as the window manager lets a program.
    virtual void bringToFront(QWidget* window);
};
