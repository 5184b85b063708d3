#pragma once

#include "platform/KeyPlan.h"
#include "platform/KeySender.h"
#include "platform/WindowFocus.h"

#include <QHash>
#include <QString>

class WaylandSession;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct zwp_virtual_keyboard_v1;
struct zwlr_foreign_toplevel_handle_v1;

// The other applications' windows, from the compositor's list of toplevels (where it offers one): which
// one is active, what it is (its app id, for the paste keystroke), and the request to activate it.
class WaylandWindows : public WindowFocus {
public:
    explicit WaylandWindows(WaylandSession& session);
    ~WaylandWindows() override;

    WindowId foreignFocus() const override;
    bool giveFocus(WindowId window) override;
    // The app id of the active window; empty when none is known.
    QString activeAppId() const;

    // Foreign-toplevel callbacks.
    void added(zwlr_foreign_toplevel_handle_v1* handle);
    void appIdChanged(zwlr_foreign_toplevel_handle_v1* handle, const char* appId);
    void stateChanged(zwlr_foreign_toplevel_handle_v1* handle, bool activated);
    void closed(zwlr_foreign_toplevel_handle_v1* handle);

private:
    struct Toplevel {
        QString appId;
        bool activated = false;
    };
    zwlr_foreign_toplevel_handle_v1* active() const;

    WaylandSession& m_session;
    QHash<zwlr_foreign_toplevel_handle_v1*, Toplevel> m_toplevels;
};

// Keystrokes through a virtual keyboard of the compositor. It has a keymap of its own (the user's layout
// as xkbcommon defaults it) and modifiers of its own: what the user holds on the real keyboard does not
// mix in, so Ctrl+V is exactly Ctrl+V.
class WaylandKeySender : public KeySender {
public:
    WaylandKeySender(WaylandSession& session, const WaylandWindows* windows);
    ~WaylandKeySender() override;

    bool isValid() const { return m_keyboard != nullptr; }
    bool send(const QString& sequence) override;
    QString pasteKeys() override;

private:
    WaylandSession& m_session;
    const WaylandWindows* m_windows;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_state = nullptr;
    KeyPlan::ModifierCodes m_modifierCodes;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
};
