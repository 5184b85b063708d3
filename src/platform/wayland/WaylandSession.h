#pragma once

#include <QObject>

#include <functional>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_foreign_toplevel_manager_v1;
struct org_kde_kwin_fake_input;
struct org_kde_plasma_window_management;
struct wl_keyboard;
struct xkb_context;
struct xkb_keymap;
class QSocketNotifier;

// A connection of our own to the Wayland compositor, with the globals that the clipboard, the keystrokes
// and the focus need. It is independent of the connection Qt may have for the window (or of Qt running
// on XWayland). Events are read through the event loop when the socket has data; the only waits are short
// round trips to the compositor itself, never to another client.
class WaylandSession : public QObject {
    Q_OBJECT
public:
    struct Offered {
        bool connected = false;
        bool dataControl = false;
        bool virtualKeyboard = false;
        bool foreignToplevel = false;
        // KWin's own routes, offered to a program its desktop file names (X-KDE-Wayland-Interfaces).
        bool fakeInput = false;
        bool plasmaWindows = false;
        // A global that only Plasma's compositor offers, to every client.
        bool kwin = false;
    };
    // What the compositor of WAYLAND_DISPLAY offers, asked on a connection opened for the question only.
    static Offered probe();

    WaylandSession();
    ~WaylandSession() override;
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    const Offered& offered() const { return m_offered; }
    // Connected, with a seat, the clipboard and a way to type: what expanding natively needs.
    bool isValid() const {
        return m_seat && m_offered.dataControl && (m_offered.virtualKeyboard || m_offered.fakeInput);
    }

    wl_display* display() const { return m_display; }
    wl_seat* seat() const { return m_seat; }
    zwlr_data_control_manager_v1* dataControl() const { return m_dataControl; }
    zwp_virtual_keyboard_manager_v1* virtualKeyboard() const { return m_virtualKeyboard; }
    // The window list's manager, bound on the first call: the caller adds its listener at once, before the
    // next round trip brings the windows.
    zwlr_foreign_toplevel_manager_v1* bindForeignToplevel();
    org_kde_kwin_fake_input* fakeInput() const { return m_fakeInput; }
    // Plasma's window list, bound on the first call, like the one above; its version is what the
    // compositor and this program both know.
    org_kde_plasma_window_management* bindPlasmaWindows();
    uint32_t plasmaWindowsVersion() const { return m_plasmaWindowsVersion; }
    // The keymap the compositor gives the seat's keyboard, where it was asked for (fake input carries key
    // codes that the compositor reads with it); null when none came.
    xkb_keymap* compositorKeymap() const { return m_keymap; }

    // Sends the requests queued so far.
    void flush();
    // Sends what is queued and handles the compositor's answers; false once the connection is lost.
    bool roundtrip();
    // Handles events as they come until done() holds or timeoutMs have passed; true when done() held.
    bool dispatchUntil(const std::function<bool()>& done, int timeoutMs);

signals:
    // The compositor closed the connection.
    void lost();
    // The compositor gave the seat's keyboard a new keymap (the user changed the layouts).
    void keymapChanged();

private:
    void readEvents();
    bool readOnce(int timeoutMs);

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void globalRemove(void* data, wl_registry* registry, uint32_t name);
    static void capabilities(void* data, wl_seat* seat, uint32_t caps);
    static void keymap(void* data, wl_keyboard* keyboard, uint32_t format, int32_t fd, uint32_t size);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_data_control_manager_v1* m_dataControl = nullptr;
    zwp_virtual_keyboard_manager_v1* m_virtualKeyboard = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_foreignToplevel = nullptr;
    uint32_t m_foreignToplevelName = 0;
    uint32_t m_foreignToplevelVersion = 0;
    org_kde_kwin_fake_input* m_fakeInput = nullptr;
    org_kde_plasma_window_management* m_plasmaWindows = nullptr;
    uint32_t m_plasmaWindowsName = 0;
    uint32_t m_plasmaWindowsVersion = 0;
    wl_keyboard* m_keyboard = nullptr;
    xkb_context* m_xkb = nullptr;
    xkb_keymap* m_keymap = nullptr;
    Offered m_offered;
    QSocketNotifier* m_notifier = nullptr;
    bool m_lost = false;
};
