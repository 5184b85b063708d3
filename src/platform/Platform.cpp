#include "platform/Platform.h"

#include "platform/qt/QtBackends.h"
#include "platform/qt/QtClipboard.h"

#include <QGuiApplication>

#ifdef WORDWISP_GNOME
#include "platform/gnome/GnomeDesktop.h"
#endif
#ifdef WORDWISP_WAYLAND
#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandInput.h"
#include "platform/wayland/WaylandSession.h"
#endif
#include <QWidget>
#include <QWindow>

#ifdef WORDWISP_X11
#include "platform/KeyPlan.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11Support.h"

namespace {
class XTestKeySender : public KeySender {
public:
    bool send(const QString& sequence) override { return X11Support::sendKeys(sequence); }
    QString pasteKeys() override { return KeyPlan::pasteKeysFor(X11Support::focusedWindowClass()); }
};

class X11WindowEffects : public QtWindowEffects {
public:
    bool hasWindowManager() const override { return X11Support::windowManagerRunning(); }
    void setStaysOnTop(QWidget* window, bool onTop) override {
        // A window on screen is asked through the window manager: changing Qt's window flag would make
        // the native window anew, which unmaps it and lets the window manager place it again.
        if (window->isVisible() && window->windowHandle()) {
            // Without a window manager nothing keeps a window on top; raising it is all there is.
            if (!X11Support::setKeptAbove(window->winId(), onTop) && onTop)
                window->raise();
            return;
        }
        QtWindowEffects::setStaysOnTop(window, onTop);
    }
};

// Long enough for a window manager under load to act on an activation request; the wait ends as soon as
// the focus arrives, which with the window already focused is at once.
constexpr int kFocusTimeoutMs = 300;

class X11WindowFocus : public WindowFocus {
public:
    WindowId foreignFocus() const override {
        const unsigned long focused = X11Support::focusedWindow();
        for (const QWindow* window : QGuiApplication::allWindows()) {
            if (window->handle() && window->winId() == focused)
                return 0;
        }
        return focused;
    }
    bool giveFocus(WindowId window) override { return X11Support::focusWindow(window, kFocusTimeoutMs); }
};
} // namespace
#endif

namespace {
[[maybe_unused]] const QString kNoNativeWayland =
    QStringLiteral("This Wayland desktop lets no program watch the clipboard or type for you (data-control and virtual "
                   "keyboard). Wordwisp expands keywords in X11 (XWayland) windows only.");
} // namespace

void choosePlatformPlugin() {
#ifdef WORDWISP_WAYLAND
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    const WaylandSession::Offered offered = WaylandSession::probe();
    if (!offered.dataControl || !offered.virtualKeyboard)
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

std::unique_ptr<Platform> createPlatform() {
    auto platform = std::make_unique<Platform>();
    // The change signal is trusted wherever Qt delivers one; WORDWISP_FORCE_POLL turns it off so the
    // polling path can be measured and tested on the same machine.
    const bool forcePoll = qEnvironmentVariableIntValue("WORDWISP_FORCE_POLL") != 0;
    const QString qpa = QGuiApplication::platformName();
    const bool changeSignal = !forcePoll && qpa != QLatin1String("offscreen") && qpa != QLatin1String("minimal");

#ifdef WORDWISP_WAYLAND
    // In a Wayland session the compositor's clipboard and keyboard reach every window, whichever plugin
    // draws ours; X11 reaches only the XWayland ones.
    if (changeSignal && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        auto session = std::make_unique<WaylandSession>();
        if (session->isValid()) {
            auto clipboard = std::make_unique<WaylandClipboard>(*session);
            std::unique_ptr<WaylandWindows> windows;
            if (session->offered().foreignToplevel)
                windows = std::make_unique<WaylandWindows>(*session);
            auto keys = std::make_unique<WaylandKeySender>(*session, windows.get());
            if (clipboard->isValid() && keys->isValid()) {
                platform->clipboard = std::move(clipboard);
                platform->keys = std::move(keys);
                if (windows)
                    platform->focus = std::move(windows);
                platform->session = std::move(session);
            }
        }
        // Said only where a compositor answered: a WAYLAND_DISPLAY left over from elsewhere is no desktop.
        if (!platform->session && session->offered().connected)
            platform->startupNotice = kNoNativeWayland;
    }
#endif
#ifdef WORDWISP_X11
    const bool onX11 = qpa == QLatin1String("xcb") && X11Support::available();
    // The window's effects follow the plugin that draws it; clipboard and keys only where Wayland's did
    // not take them.
    if (onX11)
        platform->effects = std::make_unique<X11WindowEffects>();
    if (onX11 && !platform->clipboard) {
        if (changeSignal) {
            auto clipboard = std::make_unique<X11Clipboard>();
            if (clipboard->isValid())
                platform->clipboard = std::move(clipboard);
        }
        // The polling path, measured and tested beside the other, stays with Qt's clipboard.
        if (!platform->clipboard)
            platform->clipboard = std::make_unique<QtClipboard>(changeSignal, &X11Support::clipboardOwner);
        platform->keys = std::make_unique<XTestKeySender>();
        platform->focus = std::make_unique<X11WindowFocus>();
    }
#endif
#ifdef WORDWISP_GNOME
    GnomeDesktop::adapt(*platform);
#endif
    if (!platform->clipboard)
        platform->clipboard = std::make_unique<QtClipboard>(changeSignal);
    if (!platform->keys)
        platform->keys = std::make_unique<NullKeySender>();
    platform->dialogs = std::make_unique<QtDialogs>();
    platform->tray = std::make_unique<QtTrayIcon>();
    platform->shell = std::make_unique<QtShell>();
    platform->clock = std::make_unique<SystemClock>();
    if (!platform->effects)
        platform->effects = std::make_unique<QtWindowEffects>();
    if (!platform->focus)
        platform->focus = std::make_unique<NullWindowFocus>();
    return platform;
}
