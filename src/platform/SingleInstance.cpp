#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
const QByteArray kShow = QByteArrayLiteral("show\n");
// How long a running instance gets to answer before a socket counts as left behind.
constexpr int kConnectTimeoutMs = 500;
} // namespace

QString SingleInstance::defaultSocketPath() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    // ":0.0" and "wayland-0" both make file names; anything else that is not a plain character goes.
    for (QChar& c : display) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'.')
            c = u'_';
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/wordwisp-") + (display.isEmpty() ? QStringLiteral("none") : display) +
           QStringLiteral(".socket");
}

SingleInstance::SingleInstance(const QString& socketPath, QObject* parent) : QObject(parent), m_path(socketPath) {
    QLocalSocket probe;
    probe.connectToServer(m_path);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
        probe.disconnectFromServer();
        return; // another instance answers
    }
    m_primary = listen();
    if (!m_primary) {
        qWarning("Wordwisp: cannot listen on %s; a second start will not find this one", qUtf8Printable(m_path));
        m_primary = true;
    }
}

SingleInstance::~SingleInstance() {
    if (m_server)
        m_server->close();
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_path)) {
        // Nobody answered on it: left behind by an instance that did not end in order.
        QLocalServer::removeServer(m_path);
        if (!m_server->listen(m_path))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().contains(kShow.trimmed()))
                    emit showRequested();
            });
        }
    });
    return true;
}

bool SingleInstance::askPrimaryToShow(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kShow);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}
