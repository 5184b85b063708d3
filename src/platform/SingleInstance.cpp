#include "platform/SingleInstance.h"

#include "platform/InstanceRequest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {
const QString kShow = QStringLiteral("show");
const QString kQuit = QStringLiteral("quit");
const QString kPick = QStringLiteral("pick");
const QString kPaste = QStringLiteral("paste");
const QByteArray kOk = QByteArrayLiteral("ok\n");
const QByteArray kRefused = QByteArrayLiteral("refused\n");
// How long a running instance gets to answer before a socket counts as left behind.
constexpr int kConnectTimeoutMs = 500;
// A connection that has not sent its request by then is dropped: the instance waits for nobody.
constexpr int kRequestTimeoutMs = 2000;
// How long "show" may take to be answered.
constexpr int kShowAnswerMs = 2000;
// A quit can meet a box in the instance that asks the user to choose a category first.
constexpr int kQuitAnswerMs = 15000;
// From the instance's "ok" to the process being gone: saving the category and leaving the tray.
constexpr int kEndTimeoutMs = 10000;
constexpr int kEndPollMs = 20;
// "ok", or "refused" with the reason, and the line feed.
constexpr int kMaxAnswerBytes = 512;
// Room left in an answer for the reason of a refusal, in characters.
constexpr int kMaxReasonChars = 100;

// The process at the other end of a connected local socket, when it runs as the same user as we do.
// Where the system cannot say (not Linux), the socket's own permissions are all there is.
bool peerIsSameUser(qintptr descriptor, qint64* pid = nullptr) {
#ifdef Q_OS_LINUX
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 || getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials)
        return false;
    if (pid)
        *pid = credentials.pid;
    return credentials.uid == geteuid();
#else
    Q_UNUSED(descriptor);
    if (pid)
        *pid = 0;
    return true;
#endif
}

// True once the process has gone (or is a zombie its parent has not collected yet).
bool processEnded(qint64 pid) {
#ifdef Q_OS_LINUX
    if (pid <= 0)
        return true;
    if (kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    // "pid (name) S ...": the state follows the name's closing parenthesis.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.mid(close + 2, 1) == "Z";
#else
    Q_UNUSED(pid);
    return true;
#endif
}
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
        while (QLocalSocket* client = m_server->nextPendingConnection())
            accept(client);
    });
    return true;
}

void SingleInstance::accept(QLocalSocket* client) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    if (!peerIsSameUser(client->socketDescriptor())) {
        client->abort();
        client->deleteLater();
        return;
    }
    // Never more than one request's worth held for a client, and no client kept waiting on for ever.
    client->setReadBufferSize(InstanceRequest::kMaxBytes);
    auto* silence = new QTimer(client);
    silence->setSingleShot(true);
    connect(silence, &QTimer::timeout, client, &QLocalSocket::abort);
    silence->start(kRequestTimeoutMs);
    connect(client, &QLocalSocket::readyRead, this, [this, client, silence] {
        if (!client->canReadLine()) {
            if (client->bytesAvailable() >= InstanceRequest::kMaxBytes)
                client->abort();
            return;
        }
        // One request per connection; whatever follows it is not read. Carrying it out may take a while
        // (a quit can meet a box that waits for the user), and the client is not cut off meanwhile.
        disconnect(client, &QLocalSocket::readyRead, this, nullptr);
        silence->stop();
        const std::optional<InstanceRequest> request =
            InstanceRequest::decode(client->readLine(InstanceRequest::kMaxBytes + 1));
        if (request)
            handle(client, *request);
        else
            client->abort();
    });
}

void SingleInstance::handle(QLocalSocket* socket, const InstanceRequest& request) {
    // What the request runs may open a box with an event loop of its own, in which a client that gave up
    // waiting is disconnected and deleted.
    const QPointer<QLocalSocket> client(socket);
    QByteArray answer;
    if (request.command == kShow && request.arguments.isEmpty()) {
        emit showRequested();
        answer = kOk;
    } else if (request.command == kQuit && request.arguments.isEmpty()) {
        // The answer goes out before the event loop ends; the process ends right after.
        answer = m_quit && m_quit() ? kOk : kRefused;
    } else if (request.command == kPick && request.arguments.isEmpty()) {
        emit pickRequested();
        answer = kOk;
    } else if (request.command == kPaste && m_paste &&
               (request.arguments.size() == 1 || request.arguments.size() == 2)) {
        // An instance without a handler pastes nothing, and the request is as unknown to it as any other.
        const QString why = m_paste(request.arguments.at(0), request.arguments.value(1));
        // One line, whatever the names in it hold.
        QString reason = why.left(kMaxReasonChars);
        reason.replace(u'\n', u' ').replace(u'\r', u' ');
        answer = why.isEmpty() ? kOk : kRefused.chopped(1) + ' ' + reason.toUtf8() + '\n';
    }
    if (!client)
        return;
    if (answer.isEmpty()) {
        client->abort();
        return;
    }
    client->write(answer);
    client->flush();
    client->disconnectFromServer();
}

bool SingleInstance::askPrimaryToShow(int timeoutMs) const {
    // Not waiting for the answer: in a test both ends share one thread, and the answer could never come.
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(timeoutMs) || !peerIsSameUser(socket.socketDescriptor()))
        return false;
    socket.write(InstanceRequest{kShow, {}}.encode());
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}

SingleInstance::Outcome SingleInstance::request(const QString& socketPath, const QString& command) {
    return request(socketPath, InstanceRequest{command, {}}, nullptr);
}

SingleInstance::Outcome SingleInstance::request(const QString& socketPath, const InstanceRequest& sent,
                                                QString* reason) {
    const QString& command = sent.command;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    qint64 pid = 0;
    if (!socket.waitForConnected(kConnectTimeoutMs) || !peerIsSameUser(socket.socketDescriptor(), &pid))
        return Outcome::NoInstance;
    const QByteArray line = sent.encode();
    if (line.isEmpty())
        return Outcome::NoAnswer;
    socket.write(line);
    if (!socket.waitForBytesWritten(kConnectTimeoutMs))
        return Outcome::NoAnswer;

    QElapsedTimer waited;
    waited.start();
    const int answerMs = command == kQuit ? kQuitAnswerMs : kShowAnswerMs;
    while (!socket.canReadLine() && socket.bytesAvailable() < kMaxAnswerBytes) {
        const qint64 left = answerMs - waited.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(int(left)))
            break;
    }
    const QByteArray answer = socket.readLine(kMaxAnswerBytes);
    if (answer == kRefused)
        return Outcome::Refused;
    if (answer.startsWith(kRefused.chopped(1) + ' ') && answer.endsWith('\n')) {
        if (reason)
            *reason = QString::fromUtf8(answer.mid(kRefused.size(), answer.size() - kRefused.size() - 1));
        return Outcome::Refused;
    }
    if (answer != kOk)
        return Outcome::NoAnswer;
    if (command != kQuit)
        return Outcome::Done;

    // The connection closes when the instance lets go of it, the process id tells when it is gone.
    waited.restart();
    while (!processEnded(pid)) {
        if (waited.elapsed() >= kEndTimeoutMs)
            return Outcome::NoAnswer;
        QThread::msleep(kEndPollMs);
    }
    return Outcome::Done;
}
