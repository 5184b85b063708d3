#include "platform/wayland/WaylandInput.h"

#include "platform/KeyPlan.h"
#include "platform/wayland/WaylandSession.h"
#include "platform/wayland/XkbKeys.h"

#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {
// Long enough for a compositor under load to act on an activation; it ends as soon as the window is active.
constexpr int kFocusTimeoutMs = 300;
// xkbcommon numbers keys as X does, 8 above the kernel's codes that the protocol carries.
constexpr uint32_t kEvdevOffset = 8;

WaylandWindows* windowsFrom(void* data) {
    return static_cast<WaylandWindows*>(data);
}

void onTitle(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void onAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId) {
    windowsFrom(data)->appIdChanged(handle, appId);
}
void onOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onState(void* data, zwlr_foreign_toplevel_handle_v1* handle, wl_array* states) {
    bool activated = false;
    const auto* state = static_cast<const uint32_t*>(states->data);
    for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
        activated = activated || state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    windowsFrom(data)->stateChanged(handle, activated);
}
void onDone(void*, zwlr_foreign_toplevel_handle_v1*) {}
void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
    windowsFrom(data)->closed(handle);
}
void onParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}
const zwlr_foreign_toplevel_handle_v1_listener kHandleListener = {onTitle, onAppId, onOutput, onOutput,
                                                                  onState, onDone,  onClosed, onParent};

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
    windowsFrom(data)->added(handle);
}
void onFinished(void*, zwlr_foreign_toplevel_manager_v1*) {}
const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {onToplevel, onFinished};

// Our own windows, as the compositor names them: by the desktop file name Qt gives as app id, or by the
// executable's name when there is none, or by the X class where Qt runs on XWayland.
bool isOurs(const QString& appId) {
    const QString desktop = QGuiApplication::desktopFileName();
    return appId.compare(QStringLiteral("wordwisp"), Qt::CaseInsensitive) == 0 ||
           (!desktop.isEmpty() && appId == desktop) ||
           appId == QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

uint32_t timestamp() {
    return uint32_t(QDateTime::currentMSecsSinceEpoch());
}
} // namespace

WaylandWindows::WaylandWindows(WaylandSession& session) : m_session(session) {
    if (auto* manager = session.bindForeignToplevel()) {
        zwlr_foreign_toplevel_manager_v1_add_listener(manager, &kManagerListener, this);
        session.roundtrip();
    }
}

WaylandWindows::~WaylandWindows() {
    for (auto it = m_toplevels.cbegin(); it != m_toplevels.cend(); ++it)
        zwlr_foreign_toplevel_handle_v1_destroy(it.key());
}

void WaylandWindows::added(zwlr_foreign_toplevel_handle_v1* handle) {
    m_toplevels.insert(handle, {});
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kHandleListener, this);
}

void WaylandWindows::appIdChanged(zwlr_foreign_toplevel_handle_v1* handle, const char* appId) {
    auto it = m_toplevels.find(handle);
    if (it != m_toplevels.end())
        it->appId = QString::fromUtf8(appId);
}

void WaylandWindows::stateChanged(zwlr_foreign_toplevel_handle_v1* handle, bool activated) {
    auto it = m_toplevels.find(handle);
    if (it != m_toplevels.end())
        it->activated = activated;
}

void WaylandWindows::closed(zwlr_foreign_toplevel_handle_v1* handle) {
    m_toplevels.remove(handle);
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
}

zwlr_foreign_toplevel_handle_v1* WaylandWindows::active() const {
    for (auto it = m_toplevels.cbegin(); it != m_toplevels.cend(); ++it) {
        if (it->activated)
            return it.key();
    }
    return nullptr;
}

WindowFocus::WindowId WaylandWindows::foreignFocus() const {
    zwlr_foreign_toplevel_handle_v1* handle = active();
    if (!handle || isOurs(m_toplevels.value(handle).appId))
        return 0;
    return reinterpret_cast<WindowId>(handle);
}

bool WaylandWindows::giveFocus(WindowId window) {
    auto* handle = reinterpret_cast<zwlr_foreign_toplevel_handle_v1*>(window);
    // The window may have closed since; its handle is gone then.
    if (!m_toplevels.contains(handle))
        return false;
    if (m_toplevels.value(handle).activated)
        return true;
    zwlr_foreign_toplevel_handle_v1_activate(handle, m_session.seat());
    m_session.flush();
    return m_session.dispatchUntil([&] { return m_toplevels.value(handle).activated; }, kFocusTimeoutMs);
}

QString WaylandWindows::activeAppId() const {
    zwlr_foreign_toplevel_handle_v1* handle = active();
    return handle ? m_toplevels.value(handle).appId : QString();
}

WaylandKeySender::WaylandKeySender(WaylandSession& session, const WaylandWindows* windows)
    : m_session(session), m_windows(windows) {
    if (!session.virtualKeyboard() || !session.seat())
        return;
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    // No names: the layout the environment gives (XKB_DEFAULT_LAYOUT ...), else xkbcommon's default.
    m_keymap = m_context ? xkb_keymap_new_from_names(m_context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    if (!m_keymap)
        return;
    m_state = xkb_state_new(m_keymap);
    // The keymap never changes: its modifier keys are looked up once.
    m_modifierCodes = XkbKeys::modifierCodes(m_keymap, false);
    char* text = xkb_keymap_get_as_string(m_keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (!text)
        return;
    const size_t size = std::strlen(text) + 1;
    const int fd = ::memfd_create("wordwisp-keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, text, size) == ssize_t(size);
    std::free(text);
    if (!written) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    // One keyboard for the program's life: a keyboard that comes and goes makes clients drop keys while
    // they take the new one in.
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(session.virtualKeyboard(), session.seat());
    zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
    ::close(fd);
    session.roundtrip();
}

WaylandKeySender::~WaylandKeySender() {
    if (m_keyboard) {
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
        m_session.flush();
    }
    if (m_state)
        xkb_state_unref(m_state);
    if (m_keymap)
        xkb_keymap_unref(m_keymap);
    if (m_context)
        xkb_context_unref(m_context);
}

bool WaylandKeySender::send(const QString& sequence) {
    QList<KeyPlan::Stroke> resolved;
    if (!m_keyboard || !XkbKeys::resolve(m_keymap, sequence, resolved))
        return false;
    // Nothing is held on a keyboard of our own, so nothing needs lifting.
    for (const KeyPlan::Event& event : KeyPlan::plan({}, resolved, m_modifierCodes)) {
        zwp_virtual_keyboard_v1_key(m_keyboard, timestamp(), event.code - kEvdevOffset,
                                    event.press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
        xkb_state_update_key(m_state, event.code, event.press ? XKB_KEY_DOWN : XKB_KEY_UP);
        zwp_virtual_keyboard_v1_modifiers(m_keyboard, xkb_state_serialize_mods(m_state, XKB_STATE_MODS_DEPRESSED),
                                          xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LATCHED),
                                          xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LOCKED),
                                          xkb_state_serialize_layout(m_state, XKB_STATE_LAYOUT_EFFECTIVE));
    }
    m_session.flush();
    return true;
}

QString WaylandKeySender::pasteKeys() {
    return KeyPlan::pasteKeysFor(m_windows ? QStringList{m_windows->activeAppId()} : QStringList{});
}
