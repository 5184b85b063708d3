#include "platform/wayland/WaylandSession.h"

#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

#include <QElapsedTimer>
#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <poll.h>

namespace {
bool named(const char* interface, const wl_interface& known) {
    return std::strcmp(interface, known.name) == 0;
}

// Only notes which globals exist, for probe().
void noteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    auto* offered = static_cast<WaylandSession::Offered*>(data);
    offered->dataControl = offered->dataControl || named(interface, zwlr_data_control_manager_v1_interface);
    offered->virtualKeyboard = offered->virtualKeyboard || named(interface, zwp_virtual_keyboard_manager_v1_interface);
    offered->foreignToplevel = offered->foreignToplevel || named(interface, zwlr_foreign_toplevel_manager_v1_interface);
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
    }
}

void WaylandSession::globalRemove(void*, wl_registry*, uint32_t) {}

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
