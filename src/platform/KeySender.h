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
};
