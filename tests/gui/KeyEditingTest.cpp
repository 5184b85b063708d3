#include "platform/LabelButton.h"

#include "ReadOnlyFolder.h"
#include "StoreWindow.h"

#include <QTimer>

namespace {
const QString kWork = QStringLiteral("Work");
const QString kRefused =
    QStringLiteral("16|Error: The Key is already present, or you have used invalid characters such as \\ / : ?");
} // namespace

// Save, Add, Delete and Rename of keys, checked on disk and in the key list and editor.
class KeyEditingTest : public QObject {
    Q_OBJECT
private slots:
    void saveWritesTheTextAndReloadsIt_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("three letters") << QStringLiteral("abc");
        QTest::newRow("ending in a line end") << QStringLiteral("abc\r\n");
        QTest::newRow("empty editor") << QString();
        QTest::newRow("comment line") << QStringLiteral("Dear Sir,\r\n*/ formal\r\nRegards");
        QTest::newRow("accents") << QStringLiteral("perché €");
    }
    void saveWritesTheTextAndReloadsIt() {
        QFETCH(QString, text);
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "a much longer old text that must not linger\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);
        win.Text2->setText(text);
        w.click(win.Label6);
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), (text + QStringLiteral("\r\n")).toUtf8());
        QCOMPARE(w.lastBox(), QStringLiteral("64|Salvato!"));
        QCOMPARE(w.text(), text);
        QCOMPARE(w.selectedKey(), QStringLiteral("memo"));
        QVERIFY(win.Text2->caretAtEnd());
        // Nothing but the key file: the temporary file of the save is gone.
        QCOMPARE(w.store.entries(kWork), QStringList{QStringLiteral("memo")});
    }

    void commandsWithoutASelectedKeyChangeNothing() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "text\r\n");
        MainWindow& win = w.open();
        QVERIFY(w.selectedKey().isEmpty()); // the welcome text is showing
        const QString welcome = w.text();
        w.click(win.Label6);
        QCOMPARE(w.lastBox(), QStringLiteral("64|To save a select key on the left"));
        w.click(win.Label5);
        QCOMPARE(w.lastBox(), QStringLiteral("64|Select a Keyword"));
        w.click(win.Label8);
        QCOMPARE(w.lastBox(), QStringLiteral("64|Select a Keyword"));
        QCOMPARE(w.fake.dialogs->boxes.size(), 3);
        QVERIFY(w.fake.dialogs->inputBoxes.isEmpty());
        QCOMPARE(w.text(), welcome);
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("text\r\n"));
    }

    void addCreatesAnEmptyKeyAndAsksAgainOnAClash() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        w.store.key(kWork, QStringLiteral("zeta"), "z\r\n");
        MainWindow& win = w.open();
        win.Timer1->stop();
        win.Label6->setEnabled(false);

        // Cancelled: nothing created, but Save is enabled all the same.
        w.click(win.Label4);
        QVERIFY(win.Label6->isEnabled());
        QCOMPARE(w.store.entries(kWork), (QStringList{QStringLiteral("memo"), QStringLiteral("zeta")}));

        w.type({QStringLiteral("Memo"), QStringLiteral("Alpha")});
        w.click(win.Label4);
        QCOMPARE(w.fake.dialogs->inputBoxes.size(), 3);
        const ShownInput& asked = w.fake.dialogs->inputBoxes.last();
        QCOMPARE(asked.prompt, QStringLiteral("Add a new Key"));
        QCOMPARE(asked.title, QStringLiteral("Create a new key"));
        QVERIFY(asked.defaultText.isEmpty());
        QCOMPARE(w.fake.dialogs->boxes.size(), 1);
        QCOMPARE(w.lastBox(), QStringLiteral("64|This key is already in use"));
        QVERIFY(!w.store.exists(QStringLiteral("Work/Memo")));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("memo text\r\n"));

        // The new key: an empty file, appended at the end of the list and selected, with an empty editor.
        QVERIFY(w.store.exists(QStringLiteral("Work/Alpha")));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/Alpha")), QByteArray());
        QCOMPARE(w.keys(), (QStringList{QStringLiteral("memo"), QStringLiteral("zeta"), QStringLiteral("Alpha")}));
        QCOMPARE(w.selectedKey(), QStringLiteral("Alpha"));
        QVERIFY(w.text().isEmpty());
        // Adding leaves the clipboard trigger as it was.
        QVERIFY(!win.Timer1->isActive());
    }

    void addRefusesNamesThatLeaveTheFolder_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << QStringLiteral("..");
        QTest::newRow("path") << QStringLiteral("../Cat.ini");
        QTest::newRow("colon") << QStringLiteral("a:b");
        QTest::newRow("question mark") << QStringLiteral("why?");
        QTest::newRow("control") << QStringLiteral("a\tb");
        QTest::newRow("hidden") << QStringLiteral(".sig");
    }
    void addRefusesNamesThatLeaveTheFolder() {
        QFETCH(QString, name);
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);
        win.Text2->setText(QStringLiteral("unsaved"));
        const QStringList before = w.store.entries();
        w.type({name});
        w.click(win.Label4);
        QCOMPARE(w.lastBox(), kRefused);
        QCOMPARE(w.store.entries(), before);
        QCOMPARE(w.store.entries(kWork), QStringList{QStringLiteral("memo")});
        QCOMPARE(w.store.bytes(QStringLiteral("Cat.ini")), QByteArray("Work\r\n"));
        QCOMPARE(w.keys(), QStringList{QStringLiteral("memo")});
        QCOMPARE(w.text(), QStringLiteral("unsaved"));
    }

    void deleteSelectsTheKeyAbove() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        for (const char* name : {"k1", "k2", "k3", "k4", "k5"})
            w.store.key(kWork, QLatin1String(name), QByteArray("text of ") + name + "\r\n");
        MainWindow& win = w.open();
        win.Timer1->stop();

        win.keyList().selectKey(2);
        w.answer({BoxAnswer::Yes});
        w.click(win.Label5);
        const ShownBox& question = w.fake.dialogs->boxes.first();
        QCOMPARE(question.text, QStringLiteral("Do you want to delete the Key k3? "));
        QCOMPARE(question.style, BoxStyle::YesNoQuestion);
        QCOMPARE(question.title, QStringLiteral("Delete a Key"));
        QCOMPARE(w.store.entries(kWork), (QStringList{"k1", "k2", "k4", "k5"}));
        QCOMPARE(w.keys(), (QStringList{"k1", "k2", "k4", "k5"}));
        QCOMPARE(w.selectedKey(), QStringLiteral("k2"));
        QCOMPARE(w.text(), QStringLiteral("text of k2"));
        QVERIFY(win.Timer1->isActive()); // the refresh switches the trigger on

        win.keyList().selectKey(0);
        w.answer({BoxAnswer::Yes});
        w.click(win.Label5);
        QCOMPARE(w.keys(), (QStringList{"k2", "k4", "k5"}));
        QCOMPARE(w.selectedKey(), QStringLiteral("k2"));
    }

    void deleteOfTheOnlyKeyLeavesNothingSelected() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "x\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);
        w.answer({BoxAnswer::Yes});
        w.click(win.Label5);
        QVERIFY(w.store.entries(kWork).isEmpty());
        QVERIFY(w.keys().isEmpty());
        QVERIFY(w.text().isEmpty());
        QCOMPARE(w.fake.dialogs->boxes.size(), 1); // the question, and no error
    }

    void declinedDeleteStillMovesTheReselectedRow() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        for (const char* name : {"k1", "k2", "k3", "k4"})
            w.store.key(kWork, QLatin1String(name), "x\r\n");
        for (const char* name : {"p1", "p2", "p3", "p4", "p5"})
            w.store.key(QStringLiteral("Private"), QLatin1String(name), "p\r\n");
        w.store.key(QStringLiteral("Short"), QStringLiteral("s1"), "s\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(3);
        w.click(win.Label5); // answered No
        QCOMPARE(w.store.entries(kWork).size(), 4);
        QCOMPARE(win.keyList().ReselectIndex, 3);
        win.keyList().selectCategory(w.categories().indexOf(QStringLiteral("Private")));
        QCOMPARE(w.selectedKey(), QStringLiteral("p4"));
        win.keyList().selectCategory(w.categories().indexOf(QStringLiteral("Short")));
        QVERIFY(w.selectedKey().isEmpty());
    }

    void renameKeepsTheText() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("alpha"), "a\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        MainWindow& win = w.open();
        win.Timer1->stop();
        win.keyList().selectKey(1);
        w.type({QStringLiteral("note")});
        w.click(win.Label8);
        const ShownInput& asked = w.fake.dialogs->inputBoxes.first();
        QCOMPARE(asked.prompt, QStringLiteral("Inserisci un nuovo valore"));
        QCOMPARE(asked.title, QStringLiteral("Rename a Key"));
        QCOMPARE(asked.defaultText, QStringLiteral("memo"));
        QCOMPARE(w.store.entries(kWork), (QStringList{QStringLiteral("alpha"), QStringLiteral("note")}));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/note")), QByteArray("memo text\r\n"));
        QCOMPARE(w.keys(), (QStringList{QStringLiteral("alpha"), QStringLiteral("note")}));
        // The refresh selects the remembered row, not necessarily the renamed key.
        QCOMPARE(w.selectedKey(), QStringLiteral("alpha"));
        QCOMPARE(w.text(), QStringLiteral("a"));
        QVERIFY(win.Timer1->isActive());
        QVERIFY(w.fake.dialogs->boxes.isEmpty());

        // Another letter case of the same key is a rename like any other.
        win.keyList().selectKey(1);
        w.type({QStringLiteral("Note")});
        w.click(win.Label8);
        QCOMPARE(w.store.entries(kWork), (QStringList{QStringLiteral("Note"), QStringLiteral("alpha")}));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/Note")), QByteArray("memo text\r\n"));
        QVERIFY(w.fake.dialogs->boxes.isEmpty());

        // Cancelled or empty: nothing changes.
        win.keyList().selectKey(1);
        win.Text2->setText(QStringLiteral("unsaved"));
        w.click(win.Label8);
        QCOMPARE(w.text(), QStringLiteral("unsaved"));
        QCOMPARE(w.store.entries(kWork), (QStringList{QStringLiteral("Note"), QStringLiteral("alpha")}));
    }

    void renameNeverReplacesAnotherKey_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("same case") << QStringLiteral("note");
        QTest::newRow("other case") << QStringLiteral("NOTE");
        QTest::newRow("invalid") << QStringLiteral("../note");
    }
    void renameNeverReplacesAnotherKey() {
        QFETCH(QString, name);
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        w.store.key(kWork, QStringLiteral("note"), "note text\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);
        win.Text2->setText(QStringLiteral("unsaved"));
        w.type({name});
        w.click(win.Label8);
        QCOMPARE(w.lastBox(), kRefused);
        QCOMPARE(w.store.entries(kWork), (QStringList{QStringLiteral("memo"), QStringLiteral("note")}));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("memo text\r\n"));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/note")), QByteArray("note text\r\n"));
        QCOMPARE(w.store.entries(), (QStringList{QStringLiteral("Cat.ini"), kWork}));
        QCOMPARE(w.text(), QStringLiteral("unsaved"));
    }

    void aReadOnlyCategoryLosesNothing() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        w.store.key(kWork, QStringLiteral("note"), "note text\r\n");
        MainWindow& win = w.open();
        ReadOnlyFolder readOnly(w.store.path(kWork));
        if (!readOnly.held())
            QSKIP("no way to make a folder read-only here");

        win.keyList().selectKey(0);
        win.Text2->setText(QStringLiteral("edited"));
        w.click(win.Label6);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be saved"));
        QCOMPARE(w.text(), QStringLiteral("edited"));

        w.type({QStringLiteral("fresh")});
        w.click(win.Label4);
        QCOMPARE(w.lastBox(), kRefused);
        QCOMPARE(w.text(), QStringLiteral("edited"));

        win.keyList().selectKey(0);
        w.answer({BoxAnswer::Yes});
        w.click(win.Label5);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be deleted"));
        QCOMPARE(w.keys(), (QStringList{QStringLiteral("memo"), QStringLiteral("note")}));

        win.keyList().selectKey(0);
        w.type({QStringLiteral("renamed")});
        w.click(win.Label8);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be renamed"));

        for (const ShownBox& box : w.fake.dialogs->boxes)
            QVERIFY(box.text != QStringLiteral("Salvato!"));
        QCOMPARE(w.store.entries(kWork), (QStringList{QStringLiteral("memo"), QStringLiteral("note")}));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("memo text\r\n"));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/note")), QByteArray("note text\r\n"));
    }

    void aKeyReplacedByAFolderIsLeftAlone() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        w.store.key(kWork, QStringLiteral("zeta"), "z\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);
        QVERIFY(QFile::remove(w.store.path(QStringLiteral("Work/memo"))));
        w.store.key(QStringLiteral("Work/memo"), QStringLiteral("inside"), "kept");

        win.Text2->setText(QStringLiteral("edited"));
        w.click(win.Label6);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be saved"));
        QCOMPARE(w.text(), QStringLiteral("edited"));

        w.type({QStringLiteral("other")});
        w.click(win.Label8);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be renamed"));
        QVERIFY(!w.store.exists(QStringLiteral("Work/other")));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo/inside")), QByteArray("kept"));
        // The folder is no key: the refresh has dropped it from the list.
        QCOMPARE(w.keys(), QStringList{QStringLiteral("zeta")});
    }

    void aStoreRootRemovedWhileRunning() {
        StoreWindow w;
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        MainWindow& win = w.open();
        win.keyList().selectKey(0);
        QVERIFY(QDir(w.store.root()).removeRecursively());

        win.Text2->setText(QStringLiteral("edited"));
        w.click(win.Label6);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be saved"));
        QCOMPARE(w.text(), QStringLiteral("edited"));

        w.type({QStringLiteral("fresh")});
        w.click(win.Label4);
        QCOMPARE(w.lastBox(), kRefused);
        QVERIFY(!QFileInfo::exists(w.store.root()));
        QCOMPARE(w.keys(), QStringList{QStringLiteral("memo")});

        w.type({QStringLiteral("other")});
        w.click(win.Label8);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be renamed"));
        QVERIFY(w.keys().isEmpty());
        QVERIFY(!QFileInfo::exists(w.store.root()));

        // The store put back (restored from a copy, say): the same window lists and saves into it again.
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        win.keyList().RefreshKeyList();
        QCOMPARE(w.keys(), QStringList{QStringLiteral("memo")});
        win.keyList().selectKey(0);
        QCOMPARE(w.text(), QStringLiteral("memo text"));
        win.Text2->setText(QStringLiteral("edited again"));
        w.click(win.Label6);
        QCOMPARE(w.lastBox(), QStringLiteral("64|Salvato!"));
        QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("edited again\r\n"));
        QCOMPARE(w.store.entries(kWork), QStringList{QStringLiteral("memo")});
    }
};

QTEST_MAIN(KeyEditingTest)
#include "KeyEditingTest.moc"
