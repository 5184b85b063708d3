#include "expand/ClipboardTrigger.h"
#include "TestStore.h"
#include "app/MainWindow.h"
#include "platform/fake/FakePlatform.h"
#include "store/KeyListBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
// Long enough for queued checks and a few 10 ms polls to run; the trigger needs far less.
constexpr int kSettleMs = 60;

// The user's story: a store with two categories, the program started on "Work".
struct Session {
    explicit Session(bool changeSignal = true) {
        store.catIni("Work\r\n");
        store.key("Work", "sig", "Best regards\r\n");
        store.key("Work", "memo", "Yours\r\n*/ a note for me\r\nJo\r\n");
        store.key("Work", "stamp", "[date] [time] [Date]\r\n");
        store.key("Work", "empty", "*/ only a comment\r\n");
        store.key("Other", "elsewhere", "from the other category\r\n");
        fake.clipboard->changeSignal = changeSignal;
        window = std::make_unique<MainWindow>(fake.platform(), StorePaths(store.appFolder()));
        QTest::qWait(kSettleMs);
    }
    FakeClipboard& clip() { return *fake.clipboard; }
    QString sent() const { return fake.keys->sent; }
    void selectCategory(const QString& name) { window->keyList().selectCategory(window->Combo1->findText(name)); }

    TestStore store;
    FakePlatform fake;
    std::unique_ptr<MainWindow> window;
};
} // namespace

class ClipboardTriggerTest : public QObject {
    Q_OBJECT
private slots:
    void expandsACopiedKeyword();
    void expansionText();
    void leavesOtherTextAlone();
    void keyOfAnotherCategory();
    void enabledBox();
    void refreshSwitchesOnWhileBoxStaysUnchecked();
    void keyAddedWhileKeywordOnClipboard();
    void neverExpandsItsOwnText();
    void missingKeyFilePastesNothing();
    void refusedClipboardSendsNoPaste();
    void copyFromAnUnreachableWindowIsLeftOnClipboard();
    void readsOncePerChange();
    void pollsWithoutChangeSignal();
};

void ClipboardTriggerTest::expandsACopiedKeyword() {
    Session s;
    QVERIFY(s.window->Timer1->isActive());
    QVERIFY(s.window->Check1->isChecked());
    const int clearsBefore = s.clip().clears;

    s.clip().copyFromOtherApp(QStringLiteral("  Sig "));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
    QCOMPARE(s.clip().current(), QStringLiteral("Best regards"));
    QCOMPARE(s.clip().sets, QStringList{QStringLiteral("Best regards")});
    QCOMPARE(s.clip().clears, clearsBefore + 1);
    QVERIFY(s.window->Timer1->isActive());
    // The mirror follows the clipboard to the expansion, which is then left alone.
    QTRY_COMPARE(s.window->Text1->text(), QStringLiteral("Best regards"));

    // The same keyword copied again is expanded again.
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v^v"));
}

void ClipboardTriggerTest::expansionText() {
    Session s;
    s.clip().copyFromOtherApp(QStringLiteral("memo"));
    QTRY_COMPARE(s.clip().current(), QStringLiteral("Yours\r\nJo"));
    s.clip().copyFromOtherApp(QStringLiteral("STAMP"));
    QTRY_COMPARE(s.clip().current(), QStringLiteral("12-08-2026 14:05:09 [Date]"));
    // A key of nothing but comments pastes the empty text: the user asked for that key.
    s.clip().copyFromOtherApp(QStringLiteral("empty"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v^v^v"));
    QCOMPARE(s.clip().sets.last(), QString());
}

void ClipboardTriggerTest::leavesOtherTextAlone() {
    Session s;
    for (const QString& text : {QStringLiteral("sig\r\n"), QStringLiteral("\tsig"), QStringLiteral("   "),
                                QStringLiteral("signature"), QStringLiteral("")}) {
        s.clip().copyFromOtherApp(text);
        QTest::qWait(kSettleMs);
        QCOMPARE(s.clip().current(), text);
        QCOMPARE(s.window->Text1->text(), text);
    }
    QVERIFY(s.clip().sets.isEmpty());
    QVERIFY(s.sent().isEmpty());
}

void ClipboardTriggerTest::keyOfAnotherCategory() {
    Session s;
    s.clip().copyFromOtherApp(QStringLiteral("elsewhere"));
    QTest::qWait(kSettleMs);
    QVERIFY(s.sent().isEmpty());
    // Switching to its category while the keyword is still on the clipboard expands it, as a poll would.
    s.selectCategory(QStringLiteral("Other"));
    QTRY_COMPARE(s.clip().current(), QStringLiteral("from the other category"));
    QCOMPARE(s.sent(), QStringLiteral("^v"));
}

void ClipboardTriggerTest::enabledBox() {
    Session s;
    QCheckBox* box = s.window->Check1;
    box->setChecked(false); // from code, as the tray menu's "Disabled" does
    QVERIFY(!s.window->Timer1->isActive());
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTest::qWait(kSettleMs);
    QCOMPARE(s.clip().current(), QStringLiteral("sig"));
    QVERIFY(s.sent().isEmpty());

    // Switched on by the user's click, the keyword still on the clipboard is expanded once.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QVERIFY(box->isChecked());
    QVERIFY(s.window->Timer1->isActive());
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
    QTest::qWait(kSettleMs);
    QCOMPARE(s.sent(), QStringLiteral("^v"));

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QVERIFY(!s.window->Timer1->isActive());
}

void ClipboardTriggerTest::refreshSwitchesOnWhileBoxStaysUnchecked() {
    Session s;
    s.window->Check1->setChecked(false);
    s.selectCategory(QStringLiteral("Other"));
    QVERIFY(!s.window->Check1->isChecked());
    QVERIFY(s.window->Timer1->isActive());
    s.clip().copyFromOtherApp(QStringLiteral("elsewhere"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
}

void ClipboardTriggerTest::keyAddedWhileKeywordOnClipboard() {
    Session s;
    s.clip().copyFromOtherApp(QStringLiteral("newkey"));
    QTest::qWait(kSettleMs);
    QVERIFY(s.sent().isEmpty());
    // Adding a key appends it to the list without a refresh; the trigger sees the new list all the same.
    s.store.key("Work", "newkey", "fresh\r\n");
    s.window->List1->addItem(QStringLiteral("newkey"));
    QTRY_COMPARE(s.clip().current(), QStringLiteral("fresh"));
}

void ClipboardTriggerTest::neverExpandsItsOwnText() {
    Session s;
    s.store.key("Work", "ping", "Pong\r\n");
    s.store.key("Work", "pong", "ping\r\n");
    s.window->keyList().RefreshKeyList();
    s.clip().copyFromOtherApp(QStringLiteral("ping"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
    QTest::qWait(kSettleMs);
    QCOMPARE(s.clip().sets, QStringList{QStringLiteral("Pong")});
    // The editor takes the pasted text back onto the clipboard: still not a request.
    s.clip().copyFromOtherApp(QStringLiteral("Pong"));
    QTest::qWait(kSettleMs);
    QCOMPARE(s.sent(), QStringLiteral("^v"));
    // Once something else was copied, copying the same word is the user's own request.
    s.clip().copyFromOtherApp(QStringLiteral("something else"));
    s.clip().copyFromOtherApp(QStringLiteral("pong"));
    QTRY_COMPARE(s.clip().current(), QStringLiteral("ping"));
    QTest::qWait(kSettleMs);
    QCOMPARE(s.sent(), QStringLiteral("^v^v"));
}

void ClipboardTriggerTest::missingKeyFilePastesNothing() {
    Session s;
    QVERIFY(QFile::remove(s.store.path(QStringLiteral("Work/sig"))));
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTest::qWait(kSettleMs);
    QCOMPARE(s.clip().current(), QStringLiteral("sig"));
    QVERIFY(s.clip().sets.isEmpty());
    QVERIFY(s.sent().isEmpty());
    QVERIFY(s.window->Timer1->isActive());
    s.clip().copyFromOtherApp(QStringLiteral("memo"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
}

void ClipboardTriggerTest::refusedClipboardSendsNoPaste() {
    Session s;
    s.clip().refuseSet = true;
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTest::qWait(kSettleMs);
    QVERIFY(s.sent().isEmpty());
    QVERIFY(s.window->Timer1->isActive());
    s.clip().refuseSet = false;
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
}

void ClipboardTriggerTest::copyFromAnUnreachableWindowIsLeftOnClipboard() {
    Session s;
    s.fake.keys->reachesSource = false;
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTRY_COMPARE(s.clip().current(), QStringLiteral("Best regards"));
    QTRY_COMPARE(s.fake.dialogs->boxes.size(), 1);
    QVERIFY(s.fake.dialogs->boxes[0].text.contains(QStringLiteral("Ctrl+V")));
    s.clip().copyFromOtherApp(QStringLiteral("memo"));
    QTRY_COMPARE(s.clip().current(), QStringLiteral("Yours\r\nJo"));
    QTest::qWait(kSettleMs);
    // Said once; never a keystroke into the wrong window.
    QCOMPARE(s.fake.dialogs->boxes.size(), 1);
    QVERIFY(s.sent().isEmpty());
    s.fake.keys->reachesSource = true;
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
}

void ClipboardTriggerTest::readsOncePerChange() {
    Session s;
    int ticks = 0;
    connect(s.window->Timer1, &QTimer::timeout, this, [&ticks] { ++ticks; });
    const int reads = s.clip().reads;
    QTest::qWait(5 * kSettleMs);
    QCOMPARE(s.clip().reads, reads);
    // On, yet not waking the program: changes arrive by signal.
    QVERIFY(s.window->Timer1->isActive());
    QCOMPARE(ticks, 0);
    s.clip().copyFromOtherApp(QStringLiteral("nothing to expand"));
    QTRY_COMPARE(s.window->Text1->text(), QStringLiteral("nothing to expand"));
    // Key list changes compare the text already read.
    s.window->keyList().RefreshKeyList();
    QTest::qWait(kSettleMs);
    QCOMPARE(s.clip().reads, reads + 1);
}

void ClipboardTriggerTest::pollsWithoutChangeSignal() {
    Session s(false);
    QCOMPARE(s.window->Timer1->interval(), 10);
    s.clip().copyFromOtherApp(QStringLiteral("sig"));
    QTRY_COMPARE(s.sent(), QStringLiteral("^v"));
    QCOMPARE(s.clip().current(), QStringLiteral("Best regards"));
    QTest::qWait(kSettleMs);
    QCOMPARE(s.sent(), QStringLiteral("^v"));
    s.window->Check1->setChecked(false);
    s.clip().copyFromOtherApp(QStringLiteral("memo"));
    QTest::qWait(kSettleMs);
    QVERIFY(s.clip().current() == QStringLiteral("memo"));
}

QTEST_MAIN(ClipboardTriggerTest)
#include "ClipboardTriggerTest.moc"
