#pragma once

#include "platform/KeySender.h"
#include "platform/gnome/FocusedApp.h"
#include "platform/gnome/MutterSession.h"

#include <QList>

#include <memory>
#include <optional>

// Keystrokes on GNOME's Wayland session, through mutter's remote-desktop interface: they reach native
// Wayland windows and XWayland ones alike, where XTest reaches only the latter. Keys go as keysyms, which
// mutter maps with its own keymap, so any layout the user has types the right keys. Where mutter refuses
// a session (the screen is locked, or a GNOME that no longer allows it), the X11 keys that were there
// before take over.
class MutterKeySender : public KeySender {
public:
    MutterKeySender(std::unique_ptr<MutterSession> session, std::unique_ptr<KeySender> fallback,
                    const QDBusConnection& bus);

    bool send(const QString& sequence) override;
    QString pasteKeys() override;

    // The key events of a sequence in keystroke notation; nothing when it cannot be parsed or names a key
    // no keyboard has.
    static std::optional<QList<MutterSession::KeyEvent>> events(const QString& sequence);

private:
    std::unique_ptr<MutterSession> m_session;
    std::unique_ptr<KeySender> m_fallback;
    FocusedApp m_focused;
};
