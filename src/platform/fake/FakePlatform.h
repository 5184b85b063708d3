#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Test doubles for every platform service. They record what the program asked for and answer dialogs
// from a script, so a test reads like the user's story. Grouped in one file pair because they are
// small and always used together.

class FakeClipboard : public Clipboard {
    Q_OBJECT
public:
    QString text() override {
        ++reads;
        return m_text;
    }
    void clear() override {
        ++clears;
        m_text.clear();
    }
    bool setText(const QString& text) override;
    bool hasChangeSignal() const override { return changeSignal; }

    // What another application does: puts text there and, where the platform tells, announces it.
    void copyFromOtherApp(const QString& text);
    const QString& current() const { return m_text; }

    bool changeSignal = true;
    bool refuseSet = false; // a clipboard held by another program
    int reads = 0;
    int clears = 0;
    QStringList sets;

private:
    QString m_text;
};

class FakeKeySender : public KeySender {
public:
    bool send(const QString& sequence) override {
        sent += sequence;
        return true;
    }
    bool reachesCopySource() override { return reachesSource; }
    QString sent; // every sequence sent, concatenated: "^v^v"
    bool reachesSource = true;
};

struct ShownBox {
    QString text;
    int style = 0;
    QString title;
};

struct ShownInput {
    QString prompt;
    QString title;
    QString defaultText;
};

class FakeDialogs : public Dialogs {
public:
    int messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;

    // Answers given in order; a question without a scripted answer is answered No, an input box with
    // the empty text (cancel).
    QQueue<int> answers;
    QQueue<QString> inputs;
    QList<ShownBox> boxes;
    QList<ShownInput> inputBoxes;
};

class FakeTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    bool isAvailable() const override { return available; }
    void show(const QIcon&, const QString& tip) override {
        visible = true;
        toolTip = tip;
        ++shows;
    }
    void hide() override { visible = false; }
    bool isVisible() const override { return visible; }

    bool available = true;
    bool visible = false;
    QString toolTip;
    int shows = 0;
};

class FakeShell : public Shell {
public:
    bool openUrl(const QString& url) override {
        opened.append(url);
        return true;
    }
    void endProcess() override { ++ended; }
    QStringList opened;
    int ended = 0;
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return moment; }
    QDateTime moment{QDate(2026, 12, 8), QTime(14, 5, 9)};
};

class FakeWindowEffects : public WindowEffects {
public:
    void setStaysOnTop(QWidget*, bool on) override { onTop = on; }
    void setOpacity(QWidget*, double value) override { opacity = value; }
    bool startSystemMove(QWidget*) override {
        ++systemMoves;
        return acceptSystemMove;
    }
    bool hasWindowManager() const override { return windowManager; }
    bool onTop = false;
    bool windowManager = true;
    double opacity = 1.0;
    int systemMoves = 0;
    bool acceptSystemMove = true;
};

class FakeWindowFocus : public WindowFocus {
public:
    WindowId foreignFocus() const override { return focused; }
    bool giveFocus(WindowId window) override {
        given.append(window);
        if (window == 0 || window == gone)
            return false;
        focused = window;
        return true;
    }
    WindowId focused = 0; // the other application's window that has the focus now
    WindowId gone = 0;    // a window that has been closed
    QList<WindowId> given;
};

// A Platform made of fakes, with typed access to each for the test's checks.
class FakePlatform {
public:
    FakePlatform();
    Platform& platform() { return m_platform; }

    FakeClipboard* clipboard;
    FakeKeySender* keys;
    FakeDialogs* dialogs;
    FakeTrayIcon* tray;
    FakeShell* shell;
    FakeClock* clock;
    FakeWindowEffects* effects;
    FakeWindowFocus* focus;

private:
    Platform m_platform;
};
