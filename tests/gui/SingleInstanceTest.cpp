// One instance per user and display: a second start finds the first, asks for its window and leaves;
// a socket left behind by a killed instance does not keep a new one from starting. The instance hears
// only well-formed requests of the commands it knows, answers a quit with what became of it, and drops
// whatever else arrives.

#include "platform/SingleInstance.h"
#include "StoreWindow.h"
#include "platform/InstanceRequest.h"
#include "platform/LabelButton.h"
#include "tray/TrayController.h"

#include <QEventLoop>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondStartAsksTheFirst();
    void leftBehindSocketIsTakenOver();
    void windowComesBackFromTheTray();
    void onlyRequestsAreHeard();
    void quitIsAnswered();
    void pickAndPasteAreAnswered();
    void nothingRunsNothingStarts();

private:
    // Sends bytes as a client and returns what the instance answered once it let go of the connection.
    static QByteArray exchange(const QString& path, const QByteArray& bytes, bool* closed = nullptr,
                               int timeoutMs = 3000) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(1000))
            return "<no connection>";
        socket.write(bytes);
        socket.flush();
        QByteArray answer;
        // A socket still open at the end is what `closed` reports; the wait's own result adds nothing.
        (void)QTest::qWaitFor(
            [&] {
                answer += socket.readAll();
                return socket.state() == QLocalSocket::UnconnectedState;
            },
            timeoutMs);
        answer += socket.readAll();
        if (closed)
            *closed = socket.state() == QLocalSocket::UnconnectedState;
        return answer;
    }
};

void SingleInstanceTest::secondStartAsksTheFirst() {
    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("wordwisp-test.socket"));
    SingleInstance first(path);
    QVERIFY(first.isPrimary());
    QSignalSpy asked(&first, &SingleInstance::showRequested);

    SingleInstance second(path);
    QVERIFY(!second.isPrimary());
    QVERIFY(second.askPrimaryToShow());
    QVERIFY(asked.wait(2000));
    QCOMPARE(asked.count(), 1);

    QVERIFY(!SingleInstance(path).isPrimary());
}

void SingleInstanceTest::leftBehindSocketIsTakenOver() {
    // A file in the socket's place that nothing answers on, as a killed instance leaves it.
    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("wordwisp-test.socket"));
    QFile leftBehind(path);
    QVERIFY(leftBehind.open(QIODevice::WriteOnly));
    leftBehind.close();

    SingleInstance instance(path);
    QVERIFY(instance.isPrimary());
    SingleInstance later(path);
    QVERIFY(!later.isPrimary());
    QVERIFY(later.askPrimaryToShow());
}

void SingleInstanceTest::windowComesBackFromTheTray() {
    StoreWindow s;
    s.store.key(QStringLiteral("Work"), QStringLiteral("sig"), "Regards\r\n");
    s.open();
    s.window->show();
    s.click(s.window->Label7);
    QVERIFY(s.window->isHidden());
    s.window->bringBack();
    QVERIFY(s.window->isVisible());
    QVERIFY(!s.window->tray().inTray());
    QVERIFY(!s.fake.tray->visible);
}

void SingleInstanceTest::onlyRequestsAreHeard() {
    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("wordwisp-test.socket"));
    SingleInstance instance(path);
    QSignalSpy asked(&instance, &SingleInstance::showRequested);
    int quits = 0;
    instance.setQuitHandler([&quits] { return ++quits > 0; });

    // The old bare word, another version, a command we do not know, arguments where none belong, a line
    // that never ends: each connection is closed unanswered, and nothing happens.
    for (const QByteArray& bytes :
         {QByteArray("show\n"), QByteArray("wordwisp/2 show\n"), QByteArray("wordwisp/1 format-disk\n"),
          QByteArray("wordwisp/1 quit now\n"), QByteArray(InstanceRequest::kMaxBytes * 4, 'x'),
          QByteArray("wordwisp/1 paste sig Work\n")}) {
        bool closed = false;
        QCOMPARE(exchange(path, bytes, &closed), QByteArray());
        QVERIFY2(closed, bytes.left(40).constData());
    }
    // A client that says nothing is let go of too.
    bool closed = false;
    QCOMPARE(exchange(path, QByteArray(), &closed), QByteArray());
    QVERIFY(closed);
    QCOMPARE(asked.count(), 0);
    QCOMPARE(quits, 0);

    // One request per connection: the second line on it is not read.
    QCOMPARE(exchange(path, "wordwisp/1 show\nwordwisp/1 quit\n"), QByteArray("ok\n"));
    QCOMPARE(asked.count(), 1);
    QCOMPARE(quits, 0);
}

void SingleInstanceTest::quitIsAnswered() {
    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("wordwisp-test.socket"));
    SingleInstance instance(path);
    bool willEnd = false;
    instance.setQuitHandler([&willEnd] { return willEnd; });
    // The program would not end (it asks for a category first): the client hears so.
    QCOMPARE(exchange(path, "wordwisp/1 quit\n"), QByteArray("refused\n"));
    willEnd = true;
    QCOMPARE(exchange(path, "wordwisp/1 quit\n"), QByteArray("ok\n"));

    // A box that waits for the user, longer than a silent client is given, runs an event loop of its own;
    // the client who asked is still answered when it closes.
    constexpr int kBoxOpenMs = 2500;
    instance.setQuitHandler([] {
        QEventLoop box;
        QTimer::singleShot(kBoxOpenMs, &box, &QEventLoop::quit);
        box.exec();
        return false;
    });
    QCOMPARE(exchange(path, "wordwisp/1 quit\n", nullptr, kBoxOpenMs + 2000), QByteArray("refused\n"));
}

void SingleInstanceTest::pickAndPasteAreAnswered() {
    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("wordwisp-test.socket"));
    SingleInstance instance(path);
    QSignalSpy picks(&instance, &SingleInstance::pickRequested);
    QStringList asked;
    instance.setPasteHandler([&asked](const QString& key, const QString& category) {
        asked << key + u'|' + category;
        return key == QLatin1String("sig") ? QString() : QStringLiteral("there is no key \"%1\"\nin it").arg(key);
    });
    QCOMPARE(exchange(path, "wordwisp/1 pick\n"), QByteArray("ok\n"));
    QCOMPARE(picks.count(), 1);
    // Names with spaces and line breaks travel percent-encoded; the reason comes back on one line.
    QCOMPARE(exchange(path, InstanceRequest{QStringLiteral("paste"), {QStringLiteral("sig")}}.encode()),
             QByteArray("ok\n"));
    QCOMPARE(
        exchange(path,
                 InstanceRequest{QStringLiteral("paste"), {QStringLiteral("a b\n"), QStringLiteral("Më")}}.encode()),
        QByteArray("refused there is no key \"a b \" in it\n"));
    QCOMPARE(asked, (QStringList{"sig|", "a b\n|Më"}));
    // A pick with arguments, a paste without a key or with a third name: closed unanswered, nothing done.
    for (const QByteArray& bytes : {QByteArray("wordwisp/1 pick now\n"), QByteArray("wordwisp/1 paste\n"),
                                    QByteArray("wordwisp/1 paste a b c\n")}) {
        bool closed = false;
        QCOMPARE(exchange(path, bytes, &closed), QByteArray());
        QVERIFY(closed);
    }
    QCOMPARE(picks.count(), 1);
    QCOMPARE(asked.size(), 2);
}

void SingleInstanceTest::nothingRunsNothingStarts() {
    // --show and --quit with nobody listening: no instance is made, and the socket stays free.
    QTemporaryDir runtime;
    const QString path = runtime.filePath(QStringLiteral("wordwisp-test.socket"));
    QCOMPARE(SingleInstance::request(path, QStringLiteral("show")), SingleInstance::Outcome::NoInstance);
    QCOMPARE(SingleInstance::request(path, QStringLiteral("quit")), SingleInstance::Outcome::NoInstance);
    QString reason;
    QCOMPARE(SingleInstance::request(path, InstanceRequest{QStringLiteral("paste"), {QStringLiteral("sig")}}, &reason),
             SingleInstance::Outcome::NoInstance);
    QVERIFY(!QFile::exists(path));
    QVERIFY(SingleInstance(path).isPrimary());
}

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
