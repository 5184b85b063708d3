#pragma once

#include <QString>

// Sends keystrokes to whatever window has the keyboard focus, without waiting for them to be handled.
// The sequence uses the classic notation: "^v" is Ctrl+V, "%{TAB}" is Alt+Tab (see KeystrokeNotation).
class KeySender {
public:
    virtual ~KeySender() = default;
    virtual bool send(const QString& sequence) = 0;
    // The keystroke that pastes into the focused window: Ctrl+V, or what that application takes instead.
    virtual QString pasteKeys() { return QStringLiteral("^v"); }
    // Whether the paste keystroke reaches the window that the clipboard's text was copied from. Where
    // keystrokes reach only some of the desktop's windows (the X11 ones under a Wayland compositor), a
    // copy made in another window would be pasted into whichever of ours has the focus: the text is then
    // left on the clipboard for the user's own paste.
    virtual bool reachesCopySource() { return true; }
};
