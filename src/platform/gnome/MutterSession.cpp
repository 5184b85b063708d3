#include "platform/gnome/MutterSession.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QThread>

namespace {
const QString kService = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
const QString kObject = QStringLiteral("/org/gnome/Mutter/RemoteDesktop");
const QString kSessionInterface = QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session");

// Mutter answers each call in under 2 ms; a quarter of a second is far beyond a busy compositor's answer
// and short enough that one that hangs costs the window a blink, not a freeze.
constexpr int kCallTimeoutMs = 250;
// Mutter makes the session's virtual keyboard on its first event, and the focused window takes the new
// keyboard in only after that: a first key sent at once is lost. A Shift tap, then this wait, brought
// every first key through (none without the tap, nine in ten with the tap and no wait). A lone Shift
// release is not enough: it goes no further, and the first key was lost again.
constexpr int kPrimeMs = 10;
// How long a session stays after the last keys. GNOME shows its screen-sharing icon for at least five
// seconds after a session starts, so closing sooner would not hide it sooner; this long, expansions in a
// row share one session and one icon, and the icon goes soon after the user stops expanding.
// WORDWISP_PASTE_IDLE_MS replaces it, for tests that wait for the close.
constexpr int kIdleStopMs = 5000;
// The interface version whose calls are used here (mutter 43 offers 1).
constexpr uint kMinimumVersion = 1;
constexpr std::uint32_t kShiftL = 0xffe1;
} // namespace

MutterSession::MutterSession(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus) {
    m_idle.setSingleShot(true);
    bool set = false;
    const int idle = qEnvironmentVariableIntValue("WORDWISP_PASTE_IDLE_MS", &set);
    m_idle.setInterval(set && idle > 0 ? idle : kIdleStopMs);
    connect(&m_idle, &QTimer::timeout, this, &MutterSession::stop);
}

MutterSession::~MutterSession() {
    stop();
}

bool MutterSession::offered(const QDBusConnection& bus) {
    if (!bus.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kObject, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kService << QStringLiteral("Version");
    // Only a running mutter counts: the bus is not to start anything on our behalf.
    get.setAutoStartService(false);
    const QDBusMessage reply = bus.call(get, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    bool ok = false;
    const uint version = reply.arguments().first().value<QDBusVariant>().variant().toUInt(&ok);
    return ok && version >= kMinimumVersion;
}

bool MutterSession::send(const QList<KeyEvent>& events) {
    // A session that mutter has ended without our having heard of it yet refuses the first event, so
    // nothing of the sequence arrived: it goes once more, through a new session.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool fresh = !isOpen();
        if (fresh && !open())
            return false;
        qsizetype sent = 0;
        while (sent < events.size() && sendEvent(events[sent]))
            ++sent;
        if (sent == events.size()) {
            m_idle.start();
            return true;
        }
        // Stopped, not only forgotten: mutter lets go of the keys of a session it ends, where a session
        // left behind would hold our Ctrl down for the whole desktop.
        stop();
        // Part of it arrived, and a second go could paste twice.
        if (fresh || sent > 0)
            return false;
    }
    return false;
}

bool MutterSession::open() {
    QDBusMessage create = QDBusMessage::createMethodCall(kService, kObject, kService, QStringLiteral("CreateSession"));
    create.setAutoStartService(false);
    const QDBusMessage reply = m_bus.call(create, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qWarning("Wordwisp: GNOME refused a remote-desktop session for the paste keystroke: %s",
                 qUtf8Printable(reply.errorMessage()));
        return false;
    }
    m_path = reply.arguments().first().value<QDBusObjectPath>().path();
    m_bus.connect(kService, m_path, kSessionInterface, QStringLiteral("Closed"), this,
                  SLOT(closedByMutter(QDBusMessage)));
    if (!call(QStringLiteral("Start"), {})) {
        qWarning("Wordwisp: GNOME did not start the remote-desktop session for the paste keystroke");
        stop();
        return false;
    }
    if (!sendEvent({kShiftL, true}) || !sendEvent({kShiftL, false})) {
        stop();
        return false;
    }
    QThread::msleep(kPrimeMs);
    return true;
}

void MutterSession::stop() {
    if (!isOpen())
        return;
    const QString path = m_path;
    drop();
    // Not waited for: the session is ours no longer either way, and mutter ends it with our connection.
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, kSessionInterface, QStringLiteral("Stop"));
    message.setAutoStartService(false);
    m_bus.send(message);
}

void MutterSession::drop() {
    if (!isOpen())
        return;
    m_bus.disconnect(kService, m_path, kSessionInterface, QStringLiteral("Closed"), this,
                     SLOT(closedByMutter(QDBusMessage)));
    m_path.clear();
    m_idle.stop();
}

void MutterSession::closedByMutter(const QDBusMessage& message) {
    if (message.path() == m_path)
        drop();
}

bool MutterSession::call(const QString& method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, m_path, kSessionInterface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return m_bus.call(message, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool MutterSession::sendEvent(const KeyEvent& event) {
    return call(QStringLiteral("NotifyKeyboardKeysym"), {QVariant::fromValue(uint(event.keysym)), event.press});
}
