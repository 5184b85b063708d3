#pragma once

#include <QString>
#include <QStringList>

// The few calls that Qt does not make for us on X11: asking the server who owns the clipboard, moving
// the keyboard focus between other applications' windows, and synthesising keystrokes through XTest.
namespace X11Support {
// True when the application runs on an X11 display we can talk to.
bool available();
// The window that owns the CLIPBOARD selection according to the server; 0 when none does.
unsigned long clipboardOwner();
// True when both windows belong to one connection to the server, that is to one program: the clipboard
// owner of an application is often a hidden window of its own, not the window the user sees.
bool sameClient(unsigned long a, unsigned long b);
// True when a window manager announces itself on the root window (_NET_SUPPORTING_WM_CHECK).
bool windowManagerRunning();
// The window that has the keyboard focus: the window manager's active window where one runs, else the
// server's focus window; 0 when the focus follows the pointer or belongs to no window.
unsigned long focusedWindow();
// Gives the window the focus (through the window manager where one runs) and waits up to timeoutMs for
// it to arrive; false when the window has gone, is not on screen or never got the focus.
bool focusWindow(unsigned long window, int timeoutMs);
// Asks the window manager to keep the mapped window above ordinary windows, or to take it back among
// them (_NET_WM_STATE_ABOVE); the window keeps its place and size. False without a window manager.
bool setKeptAbove(unsigned long window, bool above);
// Takes back the iconic initial state (WM_HINTS) that minimising leaves on a window. A window mapped with
// it goes to the window manager as one to keep minimised; Qt resets it only when it still believes the
// window minimised, and a window manager that answers slowly makes Qt believe otherwise. False when the
// window has no hints or is gone.
bool setInitialStateNormal(unsigned long window);
// Asks the window manager to make our own window the active one: shown out of the minimised state, raised
// and focused (_NET_ACTIVE_WINDOW). Does not wait; false without a window manager.
bool requestActivation(unsigned long window);
// Sends a sequence in keystroke notation to the focused window; false when it cannot be parsed or mapped.
// Modifiers the user still holds are used or lifted as the sequence needs (see KeyPlan).
bool sendKeys(const QString& sequence);
// The instance and class names (WM_CLASS) of the application that has the focus; empty when unknown.
QStringList focusedWindowClass();
} // namespace X11Support
