#pragma once

#include <cstdint>

// The keyboard focus of other applications' windows. A pop-up menu opened from the tray may leave the
// focus somewhere else by the time its command runs (some window managers give it to the tray); the
// window the user was working in is remembered when the menu opens and handed the focus back before
// anything is pasted into it.
class WindowFocus {
public:
    using WindowId = std::uint64_t;

    virtual ~WindowFocus() = default;
    // The window of another application that has the focus; 0 when none is known or the focus is ours.
    virtual WindowId foreignFocus() const = 0;
    // Gives the window the focus and returns once it has it; false when it has gone or did not take it.
    virtual bool giveFocus(WindowId window) = 0;
};

// Where the platform has no notion of other applications' windows, nothing is remembered.
class NullWindowFocus : public WindowFocus {
public:
    WindowId foreignFocus() const override { return 0; }
    bool giveFocus(WindowId) override { return false; }
};
