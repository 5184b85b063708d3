#pragma once

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/KeySender.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"
#include "platform/WindowEffects.h"
#include "platform/WindowFocus.h"

#include <QObject>
#include <QString>

#include <memory>

// Every service the program asks of the desktop, in one place. The window and its subsystems take a
// Platform& and never reach for a toolkit call that has a fake counterpart.
struct Platform {
    // A connection the backends below share (Wayland); declared first, so that it outlives them.
    std::unique_ptr<QObject> session;
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<KeySender> keys;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<TrayIcon> tray;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<WindowEffects> effects;
    std::unique_ptr<WindowFocus> focus;
    // What the user should know about this desktop before relying on the program; shown once at start-up.
    QString startupNotice;
};

// Picks the real backend for the platform the application runs on. Needs a QApplication.
std::unique_ptr<Platform> createPlatform();

// Before the application exists: in a Wayland session whose compositor lets no program watch the
// clipboard or type, the window goes to XWayland, where the X11 backend works for X11 windows.
void choosePlatformPlugin();
