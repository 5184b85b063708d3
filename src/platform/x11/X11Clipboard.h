#pragma once

#include "platform/Clipboard.h"

#include <QString>

class QThread;
class X11ClipboardWorker;

// The X11 clipboard on a connection and a thread of its own.
//
// Reading: every change of the CLIPBOARD owner (XFixes) leads to one conversion, answered through the
// event loop of the thread; changed() fires once the text of that change is known, and text() returns
// it without a trip to the server. An owner that does not answer within 300 ms, or offers its text only
// in pieces (INCR, for hundreds of kilobytes), counts as "no text" for that change. Nothing ever waits
// for another program on the thread the window runs on.
//
// Setting: ownership is taken once, with a time stamp fresh from the server, and confirmed with one
// GetSelectionOwner before setText() returns true; the thread then serves the text to whoever asks,
// also while Qt's own thread waits for it (a paste into our own window).
class X11Clipboard : public Clipboard {
    Q_OBJECT
public:
    // Opens its own connection to the display Qt uses; isValid() is false when that fails (no XFixes).
    X11Clipboard();
    ~X11Clipboard() override;

    bool isValid() const { return m_worker != nullptr; }

    QString text() override { return m_text; }
    void clear() override;
    bool setText(const QString& text) override;
    bool hasChangeSignal() const override { return true; }
    // The window that owned the clipboard when another program last put text there: where the user
    // copied. 0 when unknown, or when that program has gone.
    unsigned long copySource() const { return m_copySource; }
    // Taking ownership replaces the text at once; clearing first would cost every other client (the
    // editor that is about to paste) one more selection event for nothing.
    bool clearsBeforeSet() const override { return false; }
    // After setText: waits until another client has asked for the text (or up to timeoutMs), serving it
    // meanwhile. False when none asked in time or the clipboard was taken from us.
    bool waitAskedFor(int timeoutMs);

private:
    void textRead(const QString& text, unsigned long owner);

    QThread* m_thread = nullptr;
    X11ClipboardWorker* m_worker = nullptr;
    QString m_text;
    unsigned long m_ownWindow = 0;
    unsigned long m_copySource = 0;
};
