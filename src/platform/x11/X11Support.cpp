#include "platform/x11/X11Support.h"

#include "platform/KeyPlan.h"
#include "platform/KeySyms.h"
#include "platform/KeystrokeNotation.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

Display* display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

KeySym keysymFor(const QString& key) {
    const std::uint32_t sym = KeySyms::forKey(key);
    return sym == 0 ? NoSymbol : KeySym(sym);
}

// Reads one window-valued property of a window; 0 when it is missing.
Window windowProperty(Display* dpy, Window window, const char* name) {
    const Atom property = XInternAtom(dpy, name, False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    Window value = 0;
    if (XGetWindowProperty(dpy, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining, &data) ==
            Success &&
        type == XA_WINDOW && format == 32 && count == 1)
        value = *reinterpret_cast<Window*>(data);
    if (data)
        XFree(data);
    return value;
}

// Xlib's default error handler ends the process. A window of another application can vanish between
// two requests at any time, so requests about such windows run with errors caught and counted instead.
int g_trappedErrors = 0;
int countError(Display*, XErrorEvent*) {
    ++g_trappedErrors;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* dpy) : m_dpy(dpy) {
        XSync(m_dpy, False);
        g_trappedErrors = 0;
        m_previous = XSetErrorHandler(countError);
    }
    ~ErrorTrap() {
        XSync(m_dpy, False);
        XSetErrorHandler(m_previous);
    }
    bool failed() {
        XSync(m_dpy, False);
        return g_trappedErrors != 0;
    }

private:
    Display* m_dpy;
    XErrorHandler m_previous = nullptr;
};

constexpr int kFocusPollMs = 5;

} // namespace

bool X11Support::available() {
    return display() != nullptr;
}

unsigned long X11Support::clipboardOwner() {
    Display* dpy = display();
    if (!dpy)
        return 0;
    static const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
    return XGetSelectionOwner(dpy, clipboard);
}

bool X11Support::sameClient(unsigned long a, unsigned long b) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || a == 0 || b == 0)
        return false;
    // The server gives every client its own range of resource ids; the bits above the mask name the client.
    const unsigned long mask = xcb_get_setup(connection)->resource_id_mask;
    return (a & ~mask) == (b & ~mask);
}

bool X11Support::windowManagerRunning() {
    Display* dpy = display();
    return dpy && windowProperty(dpy, DefaultRootWindow(dpy), "_NET_SUPPORTING_WM_CHECK") != 0;
}

unsigned long X11Support::focusedWindow() {
    Display* dpy = display();
    if (!dpy)
        return 0;
    if (windowManagerRunning())
        return windowProperty(dpy, DefaultRootWindow(dpy), "_NET_ACTIVE_WINDOW");
    Window focus = None;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    return focus == None || focus == PointerRoot ? 0 : focus;
}

bool X11Support::focusWindow(unsigned long window, int timeoutMs) {
    Display* dpy = display();
    if (!dpy || window == 0)
        return false;
    ErrorTrap trap(dpy);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, window, &attributes) || trap.failed() || attributes.map_state != IsViewable)
        return false;
    if (focusedWindow() == window)
        return true;
    if (windowManagerRunning()) {
        // The way a pager asks: the window manager raises the window and gives it the focus.
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // source: a pager, which window managers obey without focus stealing checks
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
    }
    if (trap.failed())
        return false;
    QElapsedTimer waited;
    waited.start();
    while (focusedWindow() != window) {
        if (waited.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(kFocusPollMs);
    }
    return !trap.failed();
}

bool X11Support::setInitialStateNormal(unsigned long window) {
    Display* dpy = display();
    if (!dpy || window == 0)
        return false;
    ErrorTrap trap(dpy);
    XWMHints* hints = XGetWMHints(dpy, window);
    if (!hints)
        return false;
    if ((hints->flags & StateHint) && hints->initial_state != NormalState) {
        hints->initial_state = NormalState;
        XSetWMHints(dpy, window, hints);
    }
    XFree(hints);
    return !trap.failed();
}

bool X11Support::requestActivation(unsigned long window) {
    Display* dpy = display();
    if (!dpy || window == 0 || !windowManagerRunning())
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    // As a pager asks: the user asked for the window (a second start, the tray menu), but through a
    // program that saw no input event, so there is no user time that focus stealing checks would accept.
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(dpy);
    return true;
}

bool X11Support::setKeptAbove(unsigned long window, bool above) {
    Display* dpy = display();
    if (!dpy || window == 0 || !windowManagerRunning())
        return false;
    constexpr long kRemove = 0;
    constexpr long kAdd = 1;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = above ? kAdd : kRemove;
    event.xclient.data.l[1] = long(XInternAtom(dpy, "_NET_WM_STATE_ABOVE", False));
    event.xclient.data.l[3] = 1; // from an application
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(dpy);
    return true;
}

namespace {
// The modifier keys held down right now, from the server's key map and modifier mapping. Lock keys
// (Caps Lock, Num Lock) are states rather than held keys and are left alone.
QList<KeyPlan::HeldKey> heldModifiers(Display* dpy, const XModifierKeymap* map) {
    char keys[32];
    XQueryKeymap(dpy, keys);
    QList<KeyPlan::HeldKey> held;
    if (!map)
        return held;
    for (int modifier = 0; modifier < 8; ++modifier) {
        if (modifier == LockMapIndex)
            continue;
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + i];
            if (code == 0 || !(keys[code / 8] & (1 << (code % 8))))
                continue;
            const KeySym sym = XkbKeycodeToKeysym(dpy, code, 0, 0);
            if (sym == XK_Num_Lock || sym == XK_Caps_Lock || sym == XK_Shift_Lock || sym == XK_Scroll_Lock)
                continue;
            const KeyPlan::Modifier kind = modifier == ControlMapIndex ? KeyPlan::Modifier::Ctrl
                                           : modifier == ShiftMapIndex ? KeyPlan::Modifier::Shift
                                           : (sym == XK_Alt_L || sym == XK_Alt_R || sym == XK_Meta_L)
                                               ? KeyPlan::Modifier::Alt
                                               : KeyPlan::Modifier::Other;
            bool known = false;
            for (const KeyPlan::HeldKey& key : held)
                known = known || key.code == code;
            if (!known)
                held.append({code, kind});
        }
    }
    return held;
}

// The keys that set Ctrl, Shift and Alt, left key first. A key counts only where the modifier mapping
// puts it on the same modifier as the left one: a right Alt that is AltGr on this layout is no Alt.
KeyPlan::ModifierCodes modifierCodes(Display* dpy, const XModifierKeymap* map) {
    const auto onModifierOf = [&](KeyCode code, KeyCode left) {
        if (!map)
            return code == left;
        for (int modifier = 0; modifier < 8; ++modifier) {
            bool hasCode = false;
            bool hasLeft = false;
            for (int i = 0; i < map->max_keypermod; ++i) {
                const KeyCode entry = map->modifiermap[modifier * map->max_keypermod + i];
                hasCode = hasCode || (entry != 0 && entry == code);
                hasLeft = hasLeft || (entry != 0 && entry == left);
            }
            if (hasCode && hasLeft)
                return true;
        }
        return false;
    };
    const auto codesFor = [&](std::initializer_list<KeySym> syms) {
        QList<unsigned> codes;
        const KeyCode left = XKeysymToKeycode(dpy, *syms.begin());
        for (const KeySym sym : syms) {
            const KeyCode code = XKeysymToKeycode(dpy, sym);
            if (code != 0 && !codes.contains(code) && (code == left || onModifierOf(code, left)))
                codes.append(code);
        }
        return codes;
    };
    return {codesFor({XK_Control_L, XK_Control_R}), codesFor({XK_Shift_L, XK_Shift_R}),
            codesFor({XK_Alt_L, XK_Alt_R, XK_Meta_L})};
}
} // namespace

bool X11Support::sendKeys(const QString& sequence) {
    Display* dpy = display();
    const auto strokes = KeystrokeNotation::parse(sequence);
    if (!dpy || !strokes)
        return false;
    QList<KeyPlan::Stroke> resolved;
    for (const Keystroke& stroke : *strokes) {
        const KeySym sym = keysymFor(stroke.key);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
        if (code == 0)
            return false;
        // A character that sits on the shifted level of its key (":" or "A") needs Shift held as well.
        const bool shift =
            stroke.shift || (XkbKeycodeToKeysym(dpy, code, 0, 0) != sym && XkbKeycodeToKeysym(dpy, code, 0, 1) == sym);
        resolved.append({code, stroke.ctrl, shift, stroke.alt});
    }
    // One trip for the modifier mapping serves both what is held and which keys are ours to press.
    XModifierKeymap* map = XGetModifierMapping(dpy);
    const QList<KeyPlan::Event> events = KeyPlan::plan(heldModifiers(dpy, map), resolved, modifierCodes(dpy, map));
    if (map)
        XFreeModifiermap(map);
    for (const KeyPlan::Event& event : events)
        XTestFakeKeyEvent(dpy, event.code, event.press ? True : False, CurrentTime);
    XFlush(dpy);
    return true;
}

QStringList X11Support::focusedWindowClass() {
    Display* dpy = display();
    Window window = focusedWindow();
    if (!dpy || window == 0)
        return {};
    ErrorTrap trap(dpy);
    // The focus may sit on an inner window of the application; WM_CLASS is on its top-level window.
    for (int depth = 0; window != None && depth < 16; ++depth) {
        XClassHint hint{};
        if (XGetClassHint(dpy, window, &hint)) {
            const QStringList names{QString::fromLocal8Bit(hint.res_name), QString::fromLocal8Bit(hint.res_class)};
            XFree(hint.res_name);
            XFree(hint.res_class);
            return names;
        }
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(dpy, window, &root, &parent, &children, &count))
            break;
        if (children)
            XFree(children);
        if (parent == root)
            break;
        window = parent;
    }
    return {};
}
