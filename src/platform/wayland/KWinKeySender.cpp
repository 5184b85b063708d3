#include "platform/wayland/KWinKeySender.h"

#include "platform/wayland/PlasmaWindows.h"
#include "platform/wayland/WaylandSession.h"
#include "platform/wayland/XkbKeys.h"

#include "fake-input-client.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {
// xkbcommon numbers keys as X does, 8 above the kernel's codes that fake input carries.
constexpr uint32_t kEvdevOffset = 8;
// What KWin is told when the device is opened; it may show it to the user.
constexpr const char* kApplication = "Wordwisp";
constexpr const char* kReason = "Pastes the text of a keyword you copy";
} // namespace

KWinKeySender::KWinKeySender(WaylandSession& session, const PlasmaWindows* windows)
    : m_session(session), m_windows(windows) {
    if (!session.fakeInput())
        return;
    // Without this KWin drops every key without a word. Once per connection is enough.
    org_kde_kwin_fake_input_authenticate(session.fakeInput(), kApplication, kReason);
    session.flush();
    takeKeymap();
    m_keymapChanged = QObject::connect(&session, &WaylandSession::keymapChanged, &session, [this] { takeKeymap(); });
}

KWinKeySender::~KWinKeySender() {
    QObject::disconnect(m_keymapChanged);
    if (m_ownKeymap)
        xkb_keymap_unref(m_ownKeymap);
    if (m_context)
        xkb_context_unref(m_context);
}

void KWinKeySender::takeKeymap() {
    m_keymap = m_session.compositorKeymap();
    if (!m_keymap) {
        if (!m_ownKeymap) {
            m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
            m_ownKeymap =
                m_context ? xkb_keymap_new_from_names(m_context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
        }
        m_keymap = m_ownKeymap;
    }
    // Nothing here can tell which keys the user holds (KWin tells only the focused client). KWin 5.27 keeps
    // a Ctrl held on another device down whichever Ctrl we press and release (measured); the right keys
    // still come first, as the user's Ctrl from the copy is most likely the left one.
    if (m_keymap)
        m_modifierCodes = XkbKeys::modifierCodes(m_keymap, true);
}

bool KWinKeySender::send(const QString& sequence) {
    QList<KeyPlan::Stroke> strokes;
    if (!m_keymap || !XkbKeys::resolve(m_keymap, sequence, strokes))
        return false;
    // No held key is known, so none is lifted: a Ctrl the user still holds stays down.
    for (const KeyPlan::Event& event : KeyPlan::plan({}, strokes, m_modifierCodes)) {
        org_kde_kwin_fake_input_keyboard_key(m_session.fakeInput(), event.code - kEvdevOffset,
                                             event.press ? WL_KEYBOARD_KEY_STATE_PRESSED
                                                         : WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    m_session.flush();
    return true;
}

QString KWinKeySender::pasteKeys() {
    return KeyPlan::pasteKeysFor(m_windows ? m_windows->activeNames() : QStringList{});
}
