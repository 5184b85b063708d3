#include "platform/wayland/PlasmaWindows.h"

#include "platform/wayland/WaylandSession.h"

#include "plasma-window-management-client.h"

#include <unistd.h>

namespace {
// Long enough for a compositor under load to act on an activation; it ends as soon as the window is active.
constexpr int kFocusTimeoutMs = 300;
// From this version on windows are announced with a uuid, the number before it being deprecated.
constexpr uint32_t kUuidVersion = ORG_KDE_PLASMA_WINDOW_MANAGEMENT_WINDOW_WITH_UUID_SINCE_VERSION;

PlasmaWindows* windowsFrom(void* data) {
    return static_cast<PlasmaWindows*>(data);
}

// Titles, geometry, icons, desktops and the stacking order change all the time and matter not here: their
// events end in these, at no cost.
void ignoreText(void*, org_kde_plasma_window*, const char*) {}
void ignoreNumber(void*, org_kde_plasma_window*, int32_t) {}
void ignoreNothing(void*, org_kde_plasma_window*) {}
void ignoreParent(void*, org_kde_plasma_window*, org_kde_plasma_window*) {}
void ignoreGeometry(void*, org_kde_plasma_window*, int32_t, int32_t, uint32_t, uint32_t) {}
void ignoreMenu(void*, org_kde_plasma_window*, const char*, const char*) {}

void onAppId(void* data, org_kde_plasma_window* window, const char* appId) {
    windowsFrom(data)->appIdChanged(window, appId);
}
void onState(void* data, org_kde_plasma_window* window, uint32_t flags) {
    windowsFrom(data)->stateChanged(window, flags);
}
void onUnmapped(void* data, org_kde_plasma_window* window) {
    windowsFrom(data)->unmapped(window);
}
void onPid(void* data, org_kde_plasma_window* window, uint32_t pid) {
    windowsFrom(data)->pidChanged(window, pid);
}
void onResourceName(void* data, org_kde_plasma_window* window, const char* name) {
    windowsFrom(data)->resourceNameChanged(window, name);
}
const org_kde_plasma_window_listener kWindowListener = {
    ignoreText,     // title_changed
    onAppId,        // app_id_changed
    onState,        // state_changed
    ignoreNumber,   // virtual_desktop_changed
    ignoreText,     // themed_icon_name_changed
    onUnmapped,     // unmapped
    ignoreNothing,  // initial_state
    ignoreParent,   // parent_window
    ignoreGeometry, // geometry
    ignoreNothing,  // icon_changed
    onPid,          // pid_changed
    ignoreText,     // virtual_desktop_entered
    ignoreText,     // virtual_desktop_left
    ignoreMenu,     // application_menu
    ignoreText,     // activity_entered
    ignoreText,     // activity_left
    onResourceName, // resource_name_changed
};

void ignoreShowDesktop(void*, org_kde_plasma_window_management*, uint32_t) {}
void ignoreOrder(void*, org_kde_plasma_window_management*, wl_array*) {}
void ignoreOrderText(void*, org_kde_plasma_window_management*, const char*) {}
void onWindow(void* data, org_kde_plasma_window_management* manager, uint32_t id) {
    // Where windows come with a uuid too, the same window is taken from that event instead.
    if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(manager)) < kUuidVersion)
        windowsFrom(data)->announced(org_kde_plasma_window_management_get_window(manager, id));
}
void onWindowWithUuid(void* data, org_kde_plasma_window_management* manager, uint32_t, const char* uuid) {
    windowsFrom(data)->announced(org_kde_plasma_window_management_get_window_by_uuid(manager, uuid));
}
const org_kde_plasma_window_management_listener kManagerListener = {ignoreShowDesktop, onWindow, ignoreOrder,
                                                                    ignoreOrderText, onWindowWithUuid};
} // namespace

PlasmaWindows::PlasmaWindows(WaylandSession& session) : m_session(session) {
    auto* manager = session.bindPlasmaWindows();
    if (!manager)
        return;
    org_kde_plasma_window_management_add_listener(manager, &kManagerListener, this);
    // The first round trip brings the windows, the second what each one is.
    m_valid = session.roundtrip() && session.roundtrip();
}

PlasmaWindows::~PlasmaWindows() {
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it)
        org_kde_plasma_window_destroy(it.key());
}

void PlasmaWindows::announced(org_kde_plasma_window* window) {
    Window entry;
    entry.id = ++m_lastId;
    m_windows.insert(window, entry);
    org_kde_plasma_window_add_listener(window, &kWindowListener, this);
}

void PlasmaWindows::appIdChanged(org_kde_plasma_window* window, const char* appId) {
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        it->appId = QString::fromUtf8(appId);
}

void PlasmaWindows::resourceNameChanged(org_kde_plasma_window* window, const char* name) {
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        it->resourceName = QString::fromUtf8(name);
}

void PlasmaWindows::pidChanged(org_kde_plasma_window* window, uint32_t pid) {
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        it->pid = pid;
}

void PlasmaWindows::stateChanged(org_kde_plasma_window* window, uint32_t flags) {
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        it->active = (flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE) != 0;
}

void PlasmaWindows::unmapped(org_kde_plasma_window* window) {
    if (m_windows.remove(window))
        org_kde_plasma_window_destroy(window);
}

const PlasmaWindows::Window* PlasmaWindows::active() const {
    for (const Window& window : m_windows) {
        if (window.active)
            return &window;
    }
    return nullptr;
}

org_kde_plasma_window* PlasmaWindows::find(WindowId id) const {
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
        if (it->id == id)
            return it.key();
    }
    return nullptr;
}

WindowFocus::WindowId PlasmaWindows::foreignFocus() const {
    // Our own windows, whichever connection or X server they are drawn through, are told by our pid.
    const Window* window = active();
    return window && window->pid != uint32_t(::getpid()) ? window->id : 0;
}

bool PlasmaWindows::giveFocus(WindowId id) {
    // The window may have closed since.
    org_kde_plasma_window* window = find(id);
    if (!window)
        return false;
    if (m_windows.value(window).active)
        return true;
    org_kde_plasma_window_set_state(window, ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE,
                                    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
    m_session.flush();
    return m_session.dispatchUntil(
        [&] {
            auto it = m_windows.constFind(window);
            return it != m_windows.cend() && it->active;
        },
        kFocusTimeoutMs);
}

QStringList PlasmaWindows::activeNames() const {
    const Window* window = active();
    if (!window)
        return {};
    QStringList names{window->appId};
    if (!window->resourceName.isEmpty())
        names.append(window->resourceName);
    return names;
}
