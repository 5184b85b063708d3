#include "platform/wayland/WaylandSession.h"

#include "fake-input-client.h"
#include "plasma-window-management-client.h"
#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

#include <QElapsedTimer>
#include <QSocketNotifier>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstring>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {
// keyboard_key, the only request of fake input the program uses, came with version 4.
constexpr uint32_t kFakeInputVersion = 4;
// Version 16 names an XWayland window's X resource name too (terminals are told by it, as on X11). The
// window list announces windows by uuid from version 13 on, by a number before.
constexpr uint32_t kPlasmaWindowsVersion = 16;
// Plasma's shell protocol: every client of KWin is offered it, and no compositor outside Plasma has it.
constexpr const char* kPlasmaShell = "org_kde_plasma_shell";

bool named(const char* interface, const wl_interface& known) {
    return std::strcmp(interface, known.name) == 0;
}

// Only notes which globals exist, for probe().
void noteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t version) {
    auto* offered = static_cast<WaylandSession::Offered*>(data);
    offered->dataControl = offered->dataControl || named(interface, zwlr_data_control_manager_v1_interface);
    offered->virtualKeyboard = offered->virtualKeyboard || named(interface, zwp_virtual_keyboard_manager_v1_interface);
    offered->foreignToplevel = offered->foreignToplevel || named(interface, zwlr_foreign_toplevel_manager_v1_interface);
    offered->fakeInput =
        offered->fakeInput || (named(interface, org_kde_kwin_fake_input_interface) && version >= kFakeInputVersion);
    offered->plasmaWindows = offered->plasmaWindows || named(interface, org_kde_plasma_window_management_interface);
    offered->kwin = offered->kwin || std::strcmp(interface, kPlasmaShell) == 0;
}
void ignoreRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kProbeListener = {noteGlobal, ignoreRemove};
} // namespace

WaylandSession::Offered WaylandSession::probe() {
    Offered offered;
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return offered;
    offered.connected = true;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kProbeListener, &offered);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

void WaylandSession::global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto* self = static_cast<WaylandSession*>(data);
    if (named(interface, wl_seat_interface) && !self->m_seat) {
        // The first seat is the user's keyboard and clipboard; desktops with more are rare.
        self->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (named(interface, zwlr_data_control_manager_v1_interface)) {
        // Version 2 adds the primary selection, which the program leaves alone; 1 is enough.
        self->m_dataControl = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
        self->m_offered.dataControl = true;
    } else if (named(interface, zwp_virtual_keyboard_manager_v1_interface)) {
        self->m_virtualKeyboard = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
        self->m_offered.virtualKeyboard = true;
    } else if (named(interface, zwlr_foreign_toplevel_manager_v1_interface)) {
        // Bound by whoever listens: the manager announces every window at once.
        self->m_foreignToplevelName = name;
        self->m_foreignToplevelVersion = std::min<uint32_t>(version, 3);
        self->m_offered.foreignToplevel = true;
    } else if (named(interface, org_kde_kwin_fake_input_interface) && version >= kFakeInputVersion) {
        self->m_fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, kFakeInputVersion));
        self->m_offered.fakeInput = true;
    } else if (named(interface, org_kde_plasma_window_management_interface)) {
        self->m_plasmaWindowsName = name;
        self->m_plasmaWindowsVersion = std::min(version, kPlasmaWindowsVersion);
        self->m_offered.plasmaWindows = true;
    } else if (std::strcmp(interface, kPlasmaShell) == 0) {
        self->m_offered.kwin = true;
    }
}

void WaylandSession::globalRemove(void*, wl_registry*, uint32_t) {}

namespace {
void seatName(void*, wl_seat*, const char*) {}
void keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void keyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void keyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void keyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
} // namespace

void WaylandSession::capabilities(void* data, wl_seat* seat, uint32_t caps) {
    auto* self = static_cast<WaylandSession*>(data);
    // The keyboard is asked for its keymap only: this connection has no surface, so no key ever comes to it.
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !self->m_keyboard) {
        static const wl_keyboard_listener listener = {
            &WaylandSession::keymap, keyboardEnter, keyboardLeave, keyboardKey, keyboardModifiers, keyboardRepeat};
        self->m_keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(self->m_keyboard, &listener, self);
    }
}

void WaylandSession::keymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* self = static_cast<WaylandSession*>(data);
    xkb_keymap* keymap = nullptr;
    if (self->m_xkb && format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* text = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            // The string is the mapping's first size - 1 bytes; its end need not be terminated.
            keymap = xkb_keymap_new_from_buffer(self->m_xkb, static_cast<const char*>(text),
                                                strnlen(static_cast<const char*>(text), size),
                                                XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            ::munmap(text, size);
        }
    }
    ::close(fd);
    if (!keymap)
        return;
    if (self->m_keymap)
        xkb_keymap_unref(self->m_keymap);
    self->m_keymap = keymap;
    emit self->keymapChanged();
}

org_kde_plasma_window_management* WaylandSession::bindPlasmaWindows() {
    if (!m_plasmaWindows && m_plasmaWindowsName != 0) {
        m_plasmaWindows = static_cast<org_kde_plasma_window_management*>(wl_registry_bind(
            m_registry, m_plasmaWindowsName, &org_kde_plasma_window_management_interface, m_plasmaWindowsVersion));
    }
    return m_plasmaWindows;
}

zwlr_foreign_toplevel_manager_v1* WaylandSession::bindForeignToplevel() {
    if (!m_foreignToplevel && m_foreignToplevelName != 0) {
        m_foreignToplevel = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
            m_registry, m_foreignToplevelName, &zwlr_foreign_toplevel_manager_v1_interface, m_foreignToplevelVersion));
    }
    return m_foreignToplevel;
}

WaylandSession::WaylandSession() {
    m_display = wl_display_connect(nullptr);
    if (!m_display)
        return;
    m_offered.connected = true;
    static const wl_registry_listener listener = {&WaylandSession::global, &WaylandSession::globalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
    wl_display_roundtrip(m_display);
    if (m_fakeInput && m_seat) {
        // Fake input carries key codes that the compositor reads with its own keymap: the seat's keyboard
        // is asked for it. One round trip brings the seat's capabilities, the next the keymap.
        m_xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        static const wl_seat_listener seatListener = {&WaylandSession::capabilities, seatName};
        wl_seat_add_listener(m_seat, &seatListener, this);
        wl_display_roundtrip(m_display);
        wl_display_roundtrip(m_display);
    }
    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WaylandSession::readEvents);
}

WaylandSession::~WaylandSession() {
    if (!m_display)
        return;
    delete m_notifier;
    if (m_foreignToplevel)
        zwlr_foreign_toplevel_manager_v1_stop(m_foreignToplevel);
    if (m_dataControl)
        zwlr_data_control_manager_v1_destroy(m_dataControl);
    if (m_virtualKeyboard)
        zwp_virtual_keyboard_manager_v1_destroy(m_virtualKeyboard);
    if (m_fakeInput)
        org_kde_kwin_fake_input_destroy(m_fakeInput);
    if (m_plasmaWindows)
        org_kde_plasma_window_management_destroy(m_plasmaWindows);
    if (m_keyboard)
        wl_keyboard_destroy(m_keyboard);
    if (m_keymap)
        xkb_keymap_unref(m_keymap);
    if (m_xkb)
        xkb_context_unref(m_xkb);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void WaylandSession::flush() {
    if (m_display && !m_lost)
        wl_display_flush(m_display);
}

bool WaylandSession::roundtrip() {
    if (!m_display || m_lost)
        return false;
    if (wl_display_roundtrip(m_display) < 0) {
        m_lost = true;
        emit lost();
        return false;
    }
    return true;
}

// Reads what the socket holds, waiting at most timeoutMs for it, and handles it.
bool WaylandSession::readOnce(int timeoutMs) {
    if (!m_display || m_lost)
        return false;
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
    pollfd fd{wl_display_get_fd(m_display), POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0) {
        wl_display_cancel_read(m_display);
        return true;
    }
    if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0) {
        m_lost = true;
        m_notifier->setEnabled(false);
        emit lost();
        return false;
    }
    return true;
}

void WaylandSession::readEvents() {
    readOnce(0);
}

bool WaylandSession::dispatchUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || !readOnce(int(left)))
            return done();
    }
    return true;
}
