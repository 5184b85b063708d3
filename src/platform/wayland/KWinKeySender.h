#pragma once

#include "platform/KeyPlan.h"
#include "platform/KeySender.h"

#include <QMetaObject>

class PlasmaWindows;
class WaylandSession;
struct xkb_context;
struct xkb_keymap;

// Keystrokes through KWin's fake input device. KWin reads the key codes with the keymap it gives the seat,
// so they are looked up there (a German or French layout gets its own keys), and it merges the device's
// keys into the seat's modifier state: what the user still holds on the real keyboard counts too.
class KWinKeySender : public KeySender {
public:
    KWinKeySender(WaylandSession& session, const PlasmaWindows* windows);
    ~KWinKeySender() override;
    KWinKeySender(const KWinKeySender&) = delete;
    KWinKeySender& operator=(const KWinKeySender&) = delete;

    bool isValid() const { return m_keymap != nullptr; }
    bool send(const QString& sequence) override;
    QString pasteKeys() override;

private:
    void takeKeymap();

    WaylandSession& m_session;
    const PlasmaWindows* m_windows;
    // Only where the compositor sent no keymap: xkbcommon's default (the environment's layout).
    xkb_context* m_context = nullptr;
    xkb_keymap* m_ownKeymap = nullptr;
    xkb_keymap* m_keymap = nullptr;
    KeyPlan::ModifierCodes m_modifierCodes;
    QMetaObject::Connection m_keymapChanged;
};
