#include "platform/Platform.h"

#include "platform/qt/QtBackends.h"
#include "platform/qt/QtClipboard.h"

#include <QGuiApplication>

#ifdef WORDWISP_GNOME
#include "platform/gnome/GnomeDesktop.h"
#endif
#ifdef WORDWISP_WAYLAND
#include "platform/wayland/KWinRoute.h"
#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandInput.h"
#include "platform/wayland/WaylandSession.h"
#endif
#include <QWidget>
#include <QWindow>

#include <functional>

#ifdef WORDWISP_X11
#include "platform/KeyPlan.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11Support.h"

namespace {
class XTestKeySender : public KeySender {
public:
    // copySource, where set, names the window the user copied from (0: unknown): under a Wayland
    // compositor the X server sees only its own windows, and a copy made in a native one reaches it as
    // the compositor's, sometimes only once an X11 window takes the focus. Keys are then sent only into
    // the program that made the copy.
    explicit XTestKeySender(std::function<unsigned long()> copySource = {}) : m_copySource(std::move(copySource)) {}
    bool send(const QString& sequence) override { return X11Support::sendKeys(sequence); }
    QString pasteKeys() override { return KeyPlan::pasteKeysFor(X11Support::focusedWindowClass()); }
    bool reachesCopySource() override {
        return !m_copySource || X11Support::sameClient(X11Support::focusedWindow(), m_copySource());
    }

private:
    std::function<unsigned long()> m_copySource;
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
// What the fallback to XWayland leaves: keys reach X11 windows only, and a copy made elsewhere reaches the X
// clipboard as the compositor's, if at all; the guard on the keystrokes then leaves the text for the user.
[[maybe_unused]] const QString kNoKeystrokes =
    QStringLiteral("This Wayland desktop lets Wordwisp watch the clipboard but offers it no way to type the paste "
                   "keystroke (virtual keyboard). Wordwisp pastes by itself only in X11 (XWayland) windows; a "
                   "keyword copied in another window is at most replaced on the clipboard, for your own Ctrl+V.");
[[maybe_unused]] const QString kNoNativeWayland =
    QStringLiteral("This Wayland desktop lets no program watch its clipboard or type for you (data-control and "
                   "virtual keyboard). Wordwisp watches the clipboard through XWayland and pastes by itself only in "
                   "X11 (XWayland) windows; a keyword copied in another window is at most replaced on the "
                   "clipboard, for your own Ctrl+V.");
} // namespace

void choosePlatformPlugin() {
#ifdef WORDWISP_WAYLAND
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    const WaylandSession::Offered offered = WaylandSession::probe();
    if (!offered.dataControl || !(offered.virtualKeyboard || offered.fakeInput))
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
    // First: a backend below may have to ask the user something.
    platform->dialogs = std::make_unique<QtDialogs>();

#ifdef WORDWISP_WAYLAND
    // In a Wayland session the compositor's clipboard and keyboard reach every window, whichever plugin
    // draws ours; X11 reaches only the XWayland ones.
    if (changeSignal && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        // KWin lets a copy that its desktop entry does not name type once it has one: offered first.
        auto session = std::make_unique<WaylandSession>();
        const bool explained = KWinRoute::offerAccess(*session, *platform->dialogs);
        // KWin takes a new entry for new connections only.
        if (explained)
            session = std::make_unique<WaylandSession>();
        if (session->isValid()) {
            auto clipboard = std::make_unique<WaylandClipboard>(*session);
            std::unique_ptr<KeySender> keys;
            std::unique_ptr<WindowFocus> windows;
            if (session->offered().virtualKeyboard) {
                std::unique_ptr<WaylandWindows> toplevels;
                if (session->offered().foreignToplevel)
                    toplevels = std::make_unique<WaylandWindows>(*session);
                auto virtualKeys = std::make_unique<WaylandKeySender>(*session, toplevels.get());
                if (virtualKeys->isValid())
                    keys = std::move(virtualKeys);
                windows = std::move(toplevels);
            } else {
                KWinRoute::keysAndFocus(*session, keys, windows);
            }
            if (clipboard->isValid() && keys) {
                platform->clipboard = std::move(clipboard);
                platform->keys = std::move(keys);
                if (windows)
                    platform->focus = std::move(windows);
                platform->session = std::move(session);
            }
        }
        // Said only where a compositor answered: a WAYLAND_DISPLAY left over from elsewhere is no desktop.
        if (!platform->session && session->offered().connected && !explained)
            platform->startupNotice = session->offered().dataControl ? kNoKeystrokes : kNoNativeWayland;
    }
#endif
#ifdef WORDWISP_X11
    const bool onX11 = qpa == QLatin1String("xcb") && X11Support::available();
    // The window's effects follow the plugin that draws it; clipboard and keys only where Wayland's did
    // not take them.
    if (onX11)
        platform->effects = std::make_unique<X11WindowEffects>();
    if (onX11 && !platform->clipboard) {
        // Under a Wayland compositor XWayland's windows are only some of the desktop's.
        const bool someWindowsOnly = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
        std::function<unsigned long()> copySource;
        if (changeSignal) {
            auto clipboard = std::make_unique<X11Clipboard>();
            if (clipboard->isValid()) {
                copySource = [source = clipboard.get()] { return source->copySource(); };
                platform->clipboard = std::move(clipboard);
            }
        }
        // The polling path, measured and tested beside the other, stays with Qt's clipboard. It does not
        // know who copied, so there it pastes nowhere that is not sure.
        if (!platform->clipboard) {
            platform->clipboard = std::make_unique<QtClipboard>(changeSignal, &X11Support::clipboardOwner);
            copySource = [] { return 0UL; };
        }
        platform->keys = std::make_unique<XTestKeySender>(someWindowsOnly ? copySource : nullptr);
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
    platform->tray = std::make_unique<QtTrayIcon>();
    platform->shell = std::make_unique<QtShell>();
    platform->clock = std::make_unique<SystemClock>();
    if (!platform->effects)
        platform->effects = std::make_unique<QtWindowEffects>();
    if (!platform->focus)
        platform->focus = std::make_unique<NullWindowFocus>();
    return platform;
}
