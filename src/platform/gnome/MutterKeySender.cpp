#include "platform/gnome/MutterKeySender.h"

#include "platform/KeyPlan.h"
#include "platform/KeySyms.h"
#include "platform/KeystrokeNotation.h"

namespace {
constexpr std::uint32_t kControlL = 0xffe3;
constexpr std::uint32_t kControlR = 0xffe4;
constexpr std::uint32_t kShiftL = 0xffe1;
constexpr std::uint32_t kShiftR = 0xffe2;
constexpr std::uint32_t kAltL = 0xffe9;
constexpr std::uint32_t kAltR = 0xffea;
} // namespace

MutterKeySender::MutterKeySender(std::unique_ptr<MutterSession> session, std::unique_ptr<KeySender> fallback,
                                 const QDBusConnection& bus)
    : m_session(std::move(session)), m_fallback(std::move(fallback)), m_focused(bus) {}

std::optional<QList<MutterSession::KeyEvent>> MutterKeySender::events(const QString& sequence) {
    const auto strokes = KeystrokeNotation::parse(sequence);
    if (!strokes)
        return std::nullopt;
    QList<KeyPlan::Stroke> resolved;
    for (const Keystroke& stroke : *strokes) {
        const std::uint32_t sym = KeySyms::forKey(stroke.key);
        if (sym == 0)
            return std::nullopt;
        // A character on the shifted level of its key ("A", ":") needs no Shift of ours: mutter finds the
        // key and its level in its keymap and adds the Shift itself.
        resolved.append({sym, stroke.ctrl, stroke.shift, stroke.alt});
    }
    // No client is told what the user holds on the real keyboard, and none needs to be: mutter counts the
    // presses of a key over all devices and passes on only the first press and the last release, so the
    // Ctrl of ours around the V neither releases a Ctrl the user still holds nor stays down after it.
    const KeyPlan::ModifierCodes codes{{kControlL, kControlR}, {kShiftL, kShiftR}, {kAltL, kAltR}};
    QList<MutterSession::KeyEvent> events;
    for (const KeyPlan::Event& event : KeyPlan::plan({}, resolved, codes))
        events.append({event.code, event.press});
    return events;
}

bool MutterKeySender::send(const QString& sequence) {
    const auto keys = events(sequence);
    if (!keys)
        return false;
    if (m_session->send(*keys))
        return true;
    // Refused: the X11 keys reach X11 windows only, and there only the program the copy came from is sure
    // to be the window the user means. Elsewhere the text stays on the clipboard.
    return m_fallback && m_fallback->reachesCopySource() && m_fallback->send(sequence);
}

QString MutterKeySender::pasteKeys() {
    // No Wayland protocol names the focused native window here. What each paste key did under mutter 43,
    // a keyword selected, the expansion on CLIPBOARD and the keyword on PRIMARY:
    //
    //                        l3afpad, mousepad, gedit    gnome-terminal (VTE)
    //   Ctrl+V               pastes CLIPBOARD            sends ^V (a shell's quoted-insert)
    //   Ctrl+Shift+V         nothing                     pastes CLIPBOARD
    //   Shift+Insert         pastes CLIPBOARD            pastes PRIMARY: the keyword again
    //   Ctrl+Shift+Insert    nothing                     pastes CLIPBOARD
    //   XF86Paste            nothing                     nothing
    //
    // No one keystroke lands in both, and any two in a row leave a stray ^V or paste twice somewhere. So
    // the accessibility bus is asked which application is active, and terminals get theirs; where it
    // cannot tell, Ctrl+V, which serves the editors, where keywords are typed.
    const QString name = m_focused.name();
    return KeyPlan::pasteKeysFor(name.isEmpty() ? QStringList() : QStringList{name});
}
