#pragma once

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/KeySender.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"
#include "platform/WindowEffects.h"

#include <QPointer>

class QSystemTrayIcon;

// The thin Qt backends: each forwards to the toolkit with no logic of its own.

class QtDialogs : public Dialogs {
public:
    int messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
};

class QtTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    QtTrayIcon();
    ~QtTrayIcon() override;
    bool isAvailable() const override;
    void show(const QIcon& icon, const QString& toolTip) override;
    void hide() override;
    bool isVisible() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchEmbeddedIcon();

    QSystemTrayIcon* m_icon;
    // The icon's own little window inside an XEmbed tray, where Qt docks one. Qt reports a press on it;
    // the menu opens on the release, so the releases are watched here.
    QPointer<QWidget> m_embedded;
};

class QtShell : public Shell {
public:
    bool openUrl(const QString& url) override;
    void endProcess() override;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class QtWindowEffects : public WindowEffects {
public:
    void setStaysOnTop(QWidget* window, bool onTop) override;
    void setOpacity(QWidget* window, double opacity) override;
    bool startSystemMove(QWidget* window) override;
    // Toolkits other than X11 always come with their window manager.
    bool hasWindowManager() const override { return true; }
    // On X11 both also speak to the window manager directly: see QtBackends.cpp.
    void prepareToShowAgain(QWidget* window) override;
    void bringToFront(QWidget* window) override;
};

// Where no keystroke backend exists, sending fails and the caller carries on.
class NullKeySender : public KeySender {
public:
    bool send(const QString&) override { return false; }
    bool reachesCopySource() override { return false; }
};
