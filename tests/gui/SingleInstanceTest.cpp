// One instance per user and display: a second start finds the first, asks for its window and leaves;
// a socket left behind by a killed instance does not keep a new one from starting.

#include "platform/SingleInstance.h"
#include "StoreWindow.h"
#include "platform/LabelButton.h"
#include "tray/TrayController.h"

#include <QSignalSpy>
#include <QTemporaryDir>

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondStartAsksTheFirst();
    void leftBehindSocketIsTakenOver();
    void windowComesBackFromTheTray();
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

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
