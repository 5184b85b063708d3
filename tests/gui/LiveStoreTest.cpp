#include "expand/ClipboardTrigger.h"
#include "platform/LabelButton.h"
#include "store/StoreWatcher.h"
#include "tray/TrayMenus.h"

#include "StoreWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

namespace {
const QString kWork = QStringLiteral("Work");
// A generous bound for slow machines: the bench measures how long it really takes (about 0.1 s).
constexpr int kFollowMs = 5000;
// Long enough for a burst to have been reported, were one due.
constexpr int kSettleMs = 3 * StoreWatcher::kQuietMs + StoreWatcher::kLongestWaitMs;

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Another program's atomic save: a hidden temporary, then a rename over the key.
void writeLikeASyncEngine(const TestStore& store, const QString& relative, const QByteArray& bytes) {
    const QString temporary = store.path(QFileInfo(relative).path() + QStringLiteral("/.syncthing.tmp"));
    writeFile(temporary, bytes);
    QFile::remove(store.path(relative));
    QVERIFY(QFile::rename(temporary, store.path(relative)));
}
} // namespace

// Changes that other programs make to the store while the window is open: the lists, the editor, the
// trigger and the tray menu follow; the program's own writes and bursts of many files cost one look.
class LiveStoreTest : public QObject {
    Q_OBJECT
private slots:
    void outsideChangesReachTheListsAndTheTrigger() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        w.store.key(kWork, QStringLiteral("sig"), "Best regards\r\n");
        w.store.key(QStringLiteral("Other"), QStringLiteral("elsewhere"), "x\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(1);
        QCOMPARE(w.selectedKey(), QStringLiteral("sig"));

        // The keyword is on the clipboard before its key exists: the key's arrival pastes nothing into
        // whatever window has the focus by then. The next copy expands it.
        w.fake.clipboard->copyFromOtherApp(QStringLiteral("new"));
        QTest::qWait(50);
        w.store.key(kWork, QStringLiteral("new"), "arrived\r\n");
        w.store.key(kWork, QStringLiteral(".new.swp"), "a temporary\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(
            w.keys(), (QStringList{QStringLiteral("memo"), QStringLiteral("new"), QStringLiteral("sig")}), kFollowMs);
        QCOMPARE(w.selectedKey(), QStringLiteral("sig"));
        QCOMPARE(w.text(), QStringLiteral("Best regards"));
        QTest::qWait(kSettleMs);
        QVERIFY(w.fake.keys->sent.isEmpty());
        w.fake.clipboard->copyFromOtherApp(QStringLiteral("new"));
        QTRY_COMPARE(w.fake.clipboard->current(), QStringLiteral("arrived"));

        // Removed, and renamed while selected: the selection follows the new name.
        QVERIFY(QFile::remove(w.store.path(QStringLiteral("Work/memo"))));
        QVERIFY(QFile::rename(w.store.path(QStringLiteral("Work/sig")), w.store.path(QStringLiteral("Work/Sign"))));
        QTRY_COMPARE_WITH_TIMEOUT(w.keys(), (QStringList{QStringLiteral("new"), QStringLiteral("Sign")}), kFollowMs);
        QCOMPARE(w.selectedKey(), QStringLiteral("Sign"));
        QCOMPARE(w.text(), QStringLiteral("Best regards"));
        w.fake.clipboard->copyFromOtherApp(QStringLiteral("memo"));
        QTest::qWait(kSettleMs);
        QCOMPARE(w.fake.clipboard->current(), QStringLiteral("memo"));

        // Categories come and go around the current one, which stays current; a disabled trigger stays off.
        win.Check1->setChecked(false);
        w.store.category(QStringLiteral("Alpha"));
        QVERIFY(QDir(w.store.path(QStringLiteral("Other"))).removeRecursively());
        QTRY_COMPARE_WITH_TIMEOUT(w.categories(), (QStringList{QStringLiteral("Alpha"), kWork}), kFollowMs);
        QCOMPARE(w.window->keyList().currentCategory(), kWork);
        QCOMPARE(w.selectedKey(), QStringLiteral("Sign"));
        QVERIFY(!win.Timer1->isActive());
        // Nothing was ever shown of the temporary; no box was needed for any of it.
        QVERIFY(!w.keys().contains(QStringLiteral(".new.swp")));
        QVERIFY(w.fake.dialogs->boxes.isEmpty());
    }

    void openKeyFollowsUnlessTheUserChangedIt() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "first\r\n");
        w.store.key(kWork, QStringLiteral("sig"), "Best regards\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);

        // Untouched in the editor: the new text is shown, whether written in place or renamed over it.
        writeFile(w.store.path(QStringLiteral("Work/memo")), "second\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("second"), kFollowMs);
        writeLikeASyncEngine(w.store, QStringLiteral("Work/memo"), "third\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("third"), kFollowMs);
        // The rename ended the old file's watch; the new file is watched in its place.
        writeFile(w.store.path(QStringLiteral("Work/memo")), "fourth\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(w.text(), QStringLiteral("fourth"), kFollowMs);

        // Changed by the user: the user's text stays, and the save asks before it overwrites.
        win.Text2->selectAll();
        win.Text2->insertPlainText(QStringLiteral("mine"));
        writeLikeASyncEngine(w.store, QStringLiteral("Work/memo"), "theirs\r\n");
        QTest::qWait(kSettleMs);
        QCOMPARE(w.text(), QStringLiteral("mine"));
        w.answer({BoxAnswer::No});
        w.click(win.Label6);
        QCOMPARE(w.lastBox(), QStringLiteral("36|The key memo was changed by another program since you opened it. "
                                             "Do you want to overwrite it? "));
        QCOMPARE(w.fake.dialogs->boxes.last().title, QStringLiteral("Save a Key"));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("theirs\r\n"));
        QCOMPARE(w.text(), QStringLiteral("mine"));
        w.answer({BoxAnswer::Yes});
        w.click(win.Label6);
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("mine\r\n"));
        QCOMPARE(w.lastBox(), QStringLiteral("64|Salvato!"));

        // The program's own save reaches the watcher too: nothing moves, nothing is asked again.
        QSignalSpy rebuilt(&win.keyList(), &KeyListBinding::keyListChanged);
        QSignalSpy loaded(&win.keyList(), &KeyListBinding::keyLoaded);
        const int boxes = w.fake.dialogs->boxes.size();
        win.Text2->appendText(QStringLiteral(" again"));
        w.click(win.Label6);
        QTest::qWait(kSettleMs);
        QCOMPARE(w.fake.dialogs->boxes.size(), boxes + 1); // only "Salvato!"
        QCOMPARE(rebuilt.count(), 0);
        QCOMPARE(loaded.count(), 1); // the save's own reload
        QCOMPARE(w.selectedKey(), QStringLiteral("memo"));
        QCOMPARE(w.store.entries(kWork), (QStringList{QStringLiteral("memo"), QStringLiteral("sig")}));

        // Deleted outside while changed here: the key leaves the list, the text stays, and the save
        // says the file is gone and writes it back.
        win.Text2->appendText(QStringLiteral(" and more"));
        QVERIFY(QFile::remove(w.store.path(QStringLiteral("Work/memo"))));
        QTRY_COMPARE_WITH_TIMEOUT(w.keys(), QStringList{QStringLiteral("sig")}, kFollowMs);
        QCOMPARE(w.text(), QStringLiteral("mine again and more"));
        QVERIFY(w.selectedKey().isEmpty());
        w.answer({BoxAnswer::Yes});
        w.click(win.Label6);
        QCOMPARE(
            w.fake.dialogs->boxes.at(w.fake.dialogs->boxes.size() - 2).text,
            QStringLiteral("The key memo was deleted or renamed by another program. Do you want to save it again? "));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("mine again and more\r\n"));
        QCOMPARE(w.selectedKey(), QStringLiteral("memo"));
        QCOMPARE(w.text(), QStringLiteral("mine again and more"));

        // Renamed outside while changed here, and its category too: the selection and the current
        // category follow the new names, the text stays, and the save goes there without a question.
        win.Text2->appendText(QStringLiteral("!"));
        QVERIFY(QFile::rename(w.store.path(QStringLiteral("Work/memo")), w.store.path(QStringLiteral("Work/note"))));
        QVERIFY(QFile::rename(w.store.path(kWork), w.store.path(QStringLiteral("Office"))));
        QTRY_COMPARE_WITH_TIMEOUT(w.categories(), QStringList{QStringLiteral("Office")}, kFollowMs);
        QTRY_COMPARE_WITH_TIMEOUT(w.selectedKey(), QStringLiteral("note"), kFollowMs);
        QCOMPARE(win.keyList().currentCategory(), QStringLiteral("Office"));
        QCOMPARE(w.text(), QStringLiteral("mine again and more!"));
        const int asked = w.fake.dialogs->boxes.size();
        w.click(win.Label6);
        QCOMPARE(w.fake.dialogs->boxes.size(), asked + 1);
        QCOMPARE(w.lastBox(), QStringLiteral("64|Salvato!"));
        QCOMPARE(w.store.bytes(QStringLiteral("Office/note")), QByteArray("mine again and more!\r\n"));
        QCOMPARE(w.store.entries(QStringLiteral("Office")),
                 (QStringList{QStringLiteral("note"), QStringLiteral("sig")}));

        // Deleted outside while untouched: the key above it is shown, as after a deletion in the window.
        win.keyList().selectKey(w.keys().indexOf(QStringLiteral("sig")));
        QVERIFY(QFile::remove(w.store.path(QStringLiteral("Office/sig"))));
        QTRY_COMPARE_WITH_TIMEOUT(w.keys(), QStringList{QStringLiteral("note")}, kFollowMs);
        QCOMPARE(w.selectedKey(), QStringLiteral("note"));
        QCOMPARE(w.text(), QStringLiteral("mine again and more!"));
    }

    void aBurstIsOneRefresh() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);
        QSignalSpy rebuilt(&win.keyList(), &KeyListBinding::keyListChanged);
        // What a sync engine does: many files in a row, each through a temporary, a few at a time while
        // the program runs and sees each change come in.
        constexpr int kBurst = 300;
        constexpr int kPerStep = 10;
        constexpr int kStepMs = 10;
        QElapsedTimer writing;
        writing.start();
        for (int i = 0; i < kBurst; ++i) {
            writeLikeASyncEngine(w.store, QStringLiteral("Work/k%1").arg(i, 3, 10, QLatin1Char('0')), "t\r\n");
            if (i % kPerStep == kPerStep - 1)
                QTest::qWait(kStepMs);
        }
        // One refresh after the burst, and on a machine slow enough to stretch the burst, one more for
        // every longest wait it lasted.
        const qint64 writtenMs = writing.elapsed();
        const int allowed = 1 + int(writtenMs / StoreWatcher::kLongestWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(w.keys().size(), kBurst + 1, kFollowMs);
        QTest::qWait(kSettleMs);
        QVERIFY2(rebuilt.count() >= 1 && rebuilt.count() <= allowed,
                 qPrintable(QStringLiteral("%1 refreshes for %2 ms of writing").arg(rebuilt.count()).arg(writtenMs)));
        QCOMPARE(w.keys().first(), QStringLiteral("k000"));
        QCOMPARE(w.selectedKey(), QStringLiteral("memo"));
    }

    void currentCategoryRemovedFallsBackAndTheTrayFollows() {
        StoreWindow w;
        w.store.catIni("Home\r\n");
        w.store.key(QStringLiteral("Home"), QStringLiteral("addr"), "1 Main St\r\n");
        w.store.key(kWork, QStringLiteral("sig"), "Best regards\r\n");
        MainWindow& win = w.open();
        win.keyList().selectCategory(w.categories().indexOf(kWork));
        w.click(win.Label7);
        QVERIFY(w.fake.tray->visible);
        QCOMPARE(win.menus().Keyw.at(0)->text(), QStringLiteral("sig"));

        // In the tray: a new key shows in the menu.
        w.store.key(kWork, QStringLiteral("memo"), "m\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(win.menus().Keyw.size(), 2, kFollowMs);
        QCOMPARE(win.menus().Keyw.at(0)->text(), QStringLiteral("memo"));

        // The current category goes: the one the store remembers takes over, as at start-up.
        QVERIFY(QDir(w.store.path(kWork)).removeRecursively());
        QTRY_COMPARE_WITH_TIMEOUT(win.keyList().currentCategory(), QStringLiteral("Home"), kFollowMs);
        QCOMPARE(w.categories(), QStringList{QStringLiteral("Home")});
        QCOMPARE(w.keys(), QStringList{QStringLiteral("addr")});
        QCOMPARE(win.menus().Keyw.size(), 1);
        QCOMPARE(win.menus().Keyw.at(0)->text(), QStringLiteral("addr"));
        QCOMPARE(win.menus().CatX.at(0)->text(), QStringLiteral("Home"));
        QVERIFY(win.menus().CatX.at(0)->isChecked());

        // And when that one goes too: 'Generale', made and announced as at start-up.
        QVERIFY(QDir(w.store.path(QStringLiteral("Home"))).removeRecursively());
        QTRY_COMPARE_WITH_TIMEOUT(win.keyList().currentCategory(), QStringLiteral("Generale"), kFollowMs);
        QVERIFY(QFileInfo(w.store.path(QStringLiteral("Generale"))).isDir());
        QCOMPARE(w.lastBox(),
                 QStringLiteral("64|Sorry, there is an error. Created the category 'General' to solve the problem."));
        QTest::qWait(kSettleMs);
        QCOMPARE(w.fake.dialogs->boxes.size(), 1);
    }
};

QTEST_MAIN(LiveStoreTest)
#include "LiveStoreTest.moc"
