#pragma once

#include "expand/PasteProtocol.h"
#include "platform/WindowFocus.h"

#include <QDateTime>
#include <QObject>

class ClipboardTrigger;
class KeyEditor;
class QTimer;
struct Platform;

// Putting text into another application on command, through the clipboard and the paste keystroke: a
// key chosen in the tray menu (pasted a second later, once the menu is gone and the user is back in
// the window), the date and time into the window the user was working in, and the editor's whole text
// onto the clipboard.
class DirectInsertion : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QTimer* Passa; // one-shot: the delay before a chosen key is pasted
        KeyEditor* Text2;
    };

    DirectInsertion(Controls controls, Platform& platform, ClipboardTrigger& trigger, QObject* parent = nullptr);

    // A key chosen in the tray menu, by the name its item shows.
    void Keyw_Click(const QString& key);
    void Passa_Timer();
    // "Date and Time": into the window that had the focus when the tray menu opened (0: wherever the
    // focus is now).
    void Data3_Click(WindowFocus::WindowId previousWindow);
    // Any text into the window that had the focus (0: wherever the focus is now), never expanded by the
    // trigger on its way; false when the clipboard would not take it and nothing was pasted.
    bool pasteText(const QString& text, WindowFocus::WindowId previousWindow);
    // "C": the editor's whole text, selected, goes on the clipboard.
    void Label14_Click();

    // "12-08-2026 - 14:05:09", the same on every system whatever its regional settings.
    static QString dateAndTime(const QDateTime& moment);

private:
    Controls m_ui;
    Platform& m_platform;
    ClipboardTrigger& m_trigger;
    PasteProtocol m_paste;
};
