#pragma once

#include <QString>

class Clipboard;
class KeySender;

// How text reaches another application: the clipboard is cleared (where the platform needs that) and
// given the text, then the paste
// keystroke goes to whatever window has the focus, without waiting for it to be handled. The clipboard
// trigger and the commands that paste on request share it.
class PasteProtocol {
public:
    PasteProtocol(Clipboard& clipboard, KeySender& keys) : m_clipboard(clipboard), m_keys(keys) {}

    // Clears the clipboard where needed and puts the text there; true once the system confirms that it
    // holds it.
    bool putOnClipboard(const QString& text);
    // Sends the paste keystroke to the focused window (Ctrl+V; Ctrl+Shift+V in a terminal).
    bool sendPaste();
    // Both, with the keystroke sent only when the clipboard really holds the text: a paste after a failed
    // set would put whatever was there before (often the very keyword) into the user's document.
    bool paste(const QString& text);

private:
    Clipboard& m_clipboard;
    KeySender& m_keys;
};
