#include "platform/gnome/MutterClipboard.h"

#include "platform/gnome/MutterSession.h"

namespace {
// Mutter's copy of a native copy followed the application's own 0.2 to 4 ms later (measured); a change is
// taken as final after this much quiet, half as long again as the longest gap seen.
constexpr int kCopySettleMs = 6;
// Mutter asks for a new owner's text within a few milliseconds; past this the paste goes out anyway.
constexpr int kAskedForTimeoutMs = 50;
} // namespace

MutterClipboard::MutterClipboard(std::unique_ptr<X11Clipboard> inner, const QDBusConnection& bus)
    : m_inner(std::move(inner)), m_bus(bus) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kCopySettleMs);
    // Each change starts the wait anew; the timer runs only in the milliseconds after a change.
    connect(m_inner.get(), &Clipboard::changed, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &Clipboard::changed);
}

bool MutterClipboard::setText(const QString& text) {
    if (!m_inner->setText(text))
        return false;
    if (!m_inner->waitAskedFor(kAskedForTimeoutMs))
        qWarning("Wordwisp: GNOME did not ask for the new clipboard text in time");
    // Our answer is in mutter's X11 connection by now; a call it answers after that has let it read the
    // answer, so the keys that follow on this bus come after the new selection.
    MutterSession::ping(m_bus);
    return true;
}
