#include "platform/gnome/FocusedApp.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <QPair>

namespace {
// The accessibility bus answers in well under a millisecond; an application that hangs costs this much at
// most per call, and the paste falls back to Ctrl+V.
constexpr int kCallTimeoutMs = 50;
// Applications with more windows than this are looked at no further (a frame list that long is no
// ordinary desktop's).
constexpr int kMaxChildren = 64;
// STATE_ACTIVE of the AT-SPI state set: the window has the focus.
constexpr uint kStateActive = 1;
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");

using Reference = QPair<QString, QString>; // bus name, object path

QDBusMessage call(const QDBusConnection& bus, const Reference& object, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(object.first, object.second, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, kCallTimeoutMs);
}

QList<Reference> children(const QDBusConnection& bus, const Reference& object) {
    QList<Reference> found;
    const QDBusMessage reply = call(bus, object, kAccessible, QStringLiteral("GetChildren"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return found;
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd() && found.size() < kMaxChildren) {
        QString service;
        QDBusObjectPath path;
        list.beginStructure();
        list >> service >> path;
        list.endStructure();
        found.append({service, path.path()});
    }
    list.endArray();
    return found;
}

bool isActive(const QDBusConnection& bus, const Reference& object) {
    const QDBusMessage reply = call(bus, object, kAccessible, QStringLiteral("GetState"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    const QDBusArgument words = reply.arguments().first().value<QDBusArgument>();
    uint first = 0;
    words.beginArray();
    if (!words.atEnd())
        words >> first;
    while (!words.atEnd()) {
        uint rest = 0;
        words >> rest;
    }
    words.endArray();
    return (first & (1u << kStateActive)) != 0;
}
} // namespace

FocusedApp::FocusedApp(const QDBusConnection& sessionBus) : m_session(sessionBus) {}

QString FocusedApp::name() {
    if (!m_a11y) {
        // The bus's address is asked once; the connection then stays, idle.
        const QDBusMessage reply = call(m_session, {QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus")},
                                        QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return QString();
        m_a11y = QDBusConnection::connectToBus(reply.arguments().first().toString(), QStringLiteral("wordwisp-a11y"));
    }
    if (!m_a11y->isConnected()) {
        // Asked again at the next paste: the bus may have been started since.
        QDBusConnection::disconnectFromBus(m_a11y->name());
        m_a11y.reset();
        return QString();
    }
    for (const Reference& app : children(*m_a11y, {QStringLiteral("org.a11y.atspi.Registry"), kRootPath})) {
        for (const Reference& window : children(*m_a11y, app)) {
            if (!isActive(*m_a11y, window))
                continue;
            const QDBusMessage reply = call(*m_a11y, app, QStringLiteral("org.freedesktop.DBus.Properties"),
                                            QStringLiteral("Get"), {kAccessible, QStringLiteral("Name")});
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                return QString();
            return reply.arguments().first().value<QDBusVariant>().variant().toString();
        }
    }
    return QString();
}
