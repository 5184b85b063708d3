#include "store/CategoryManager.h"
#include "platform/LabelButton.h"

#include "ReadOnlyFolder.h"
#include "StoreWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace {
const QString kCreateRefused =
    QStringLiteral("16|Error: The category already exists, or you have used invalid characters such as \\ / : ?");

// The open manager window, if any.
CategoryManager* form3() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* manager = qobject_cast<CategoryManager*>(widget);
        if (manager && manager->isVisible())
            return manager;
    }
    return nullptr;
}

// A store of three categories, Notes current, and the window open on it.
MainWindow& openOnNotes(StoreWindow& w) {
    w.store.catIni("Notes\r\n");
    w.store.key(QStringLiteral("Alpha"), QStringLiteral("a1"), "alpha one\r\n");
    w.store.key(QStringLiteral("Alpha"), QStringLiteral("a2"), "alpha two\r\n");
    for (const char* name : {"n1", "n2", "n3"})
        w.store.key(QStringLiteral("Notes"), QLatin1String(name), QByteArray("note ") + name + "\r\n");
    w.store.category(QStringLiteral("Work"));
    return w.open();
}

// The rebuild that the manager asks for, once the main window's event loop gets to it.
void waitForRebuild(MainWindow& win) {
    QTRY_VERIFY(!win.CreaCAT->isActive());
    QCoreApplication::processEvents();
}
} // namespace

// The category manager window and the rebuild of the category list after each of its changes.
class CategoryManagerTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheCurrentCategoryAndClosesOnEsc() {
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        win.show();
        const QStringList before = w.store.entries();
        w.click(win.Label11);
        CategoryManager* manager = form3();
        QVERIFY(manager);
        QCOMPARE(manager->windowTitle(), QStringLiteral("Gestione Categorie"));
        QCOMPARE(manager->Label4->text(), QStringLiteral("Notes"));
        QCOMPARE(manager->Label3->text(), QStringLiteral("Categoria Corrente:"));
        QVERIFY(!win.isVisible());

        QTest::keyClick(manager, Qt::Key_A);
        QCOMPARE(form3(), manager);
        QTest::keyClick(manager, Qt::Key_Escape);
        QVERIFY(!form3());
        QVERIFY(win.isVisible());
        QVERIFY(!win.CreaCAT->isActive());
        QCOMPARE(w.store.entries(), before);
        QVERIFY(w.fake.dialogs->boxes.isEmpty());
    }

    void createMakesTheFirstCategoryCurrent() {
        StoreWindow w;
        w.store.catIni("Generale\r\n");
        w.store.key(QStringLiteral("Alpha"), QStringLiteral("a1"), "alpha one\r\n");
        w.store.key(QStringLiteral("Generale"), QStringLiteral("g1"), "g\r\n");
        MainWindow& win = w.open();
        w.click(win.Label11);

        // Cancelled: the manager stays open, nothing is asked of the main window.
        w.click(form3()->Label9);
        QVERIFY(form3());
        QVERIFY(!win.CreaCAT->isActive());
        const ShownInput& asked = w.fake.dialogs->inputBoxes.first();
        QCOMPARE(asked.prompt, QStringLiteral("Add a new category"));
        QCOMPARE(asked.title, QStringLiteral("Create new category"));

        w.type({QStringLiteral("Work")});
        w.click(form3()->Label9);
        QVERIFY(QFileInfo(w.store.path(QStringLiteral("Work"))).isDir());
        QCOMPARE(w.lastBox(), QStringLiteral("64|The category Work was created successfully"));
        QVERIFY(!form3());
        waitForRebuild(win);
        QCOMPARE(w.categories(), (QStringList{"Alpha", "Generale", "Work"}));
        QCOMPARE(win.keyList().currentCategory(), QStringLiteral("Alpha"));
        QCOMPARE(w.keys(), QStringList{QStringLiteral("a1")});
        QCOMPARE(w.text(), QStringLiteral("alpha one"));
    }

    void createRefusesTakenAndInvalidNames_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("exists") << QStringLiteral("Work");
        QTest::newRow("parent") << QStringLiteral("..");
        QTest::newRow("nested") << QStringLiteral("Work/sub");
        QTest::newRow("pipe") << QStringLiteral("a|b");
        QTest::newRow("hidden") << QStringLiteral(".cache");
    }
    void createRefusesTakenAndInvalidNames() {
        QFETCH(QString, name);
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        const QStringList before = w.store.entries();
        w.click(win.Label11);
        w.type({name});
        w.click(form3()->Label9);
        QCOMPARE(w.lastBox(), kCreateRefused);
        QVERIFY(form3());
        QVERIFY(!win.CreaCAT->isActive());
        QCOMPARE(w.store.entries(), before);
        QVERIFY(w.store.entries(QStringLiteral("Work")).isEmpty());
        QCOMPARE(QDir(w.store.appFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Db"});
    }

    void deleteRemovesTheKeysAndTheFolder() {
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        w.click(win.Label11);

        w.click(form3()->Label1); // answered No
        const ShownBox& question = w.fake.dialogs->boxes.first();
        QCOMPARE(question.text,
                 QStringLiteral("Do you want to delete the category Notes permanently? (All keys will be cleared)"));
        QCOMPARE(question.style, BoxStyle::YesNoQuestion);
        QCOMPARE(question.title, QStringLiteral("Delete a category"));
        QVERIFY(form3());
        QCOMPARE(w.store.entries(QStringLiteral("Notes")).size(), 3);

        w.answer({BoxAnswer::Yes});
        w.click(form3()->Label1);
        QVERIFY(!w.store.exists(QStringLiteral("Notes")));
        QCOMPARE(w.lastBox(), QStringLiteral("64|The category Notes has been removed successfully"));
        QVERIFY(!form3());
        waitForRebuild(win);
        QCOMPARE(w.categories(), (QStringList{"Alpha", "Work"}));
        QCOMPARE(win.keyList().currentCategory(), QStringLiteral("Alpha"));
        QCOMPARE(w.keys(), (QStringList{"a1", "a2"}));
        QCOMPARE(w.store.bytes(QStringLiteral("Cat.ini")), QByteArray("Notes\r\n"));
    }

    void deleteThatCannotHappenIsReported() {
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        w.store.key(QStringLiteral("Notes/folder"), QStringLiteral("inner"), "x");
        w.click(win.Label11);
        w.answer({BoxAnswer::Yes});
        w.click(form3()->Label1);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The category Notes could not be removed"));
        QVERIFY(form3());
        QVERIFY(!win.CreaCAT->isActive());
        QCOMPARE(w.store.entries(QStringLiteral("Notes")), (QStringList{"folder", "n1", "n2", "n3"}));
    }

    void renameKeepsTheKeys() {
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        w.click(win.Label11);
        w.type({QStringLiteral("Memo")});
        w.click(form3()->Label2);
        const ShownInput& asked = w.fake.dialogs->inputBoxes.first();
        QCOMPARE(asked.prompt, QStringLiteral("Enter a new name"));
        QCOMPARE(asked.title, QStringLiteral("Rename a category"));
        QCOMPARE(asked.defaultText, QStringLiteral("Notes"));
        QCOMPARE(w.lastBox(), QStringLiteral("64|The category Notes has been renamed in Memo"));
        QVERIFY(!w.store.exists(QStringLiteral("Notes")));
        QCOMPARE(w.store.bytes(QStringLiteral("Memo/n2")), QByteArray("note n2\r\n"));
        QVERIFY(!form3());
        waitForRebuild(win);
        QCOMPARE(w.categories(), (QStringList{"Alpha", "Memo", "Work"}));
        QCOMPARE(win.keyList().currentCategory(), QStringLiteral("Alpha"));

        // The name offered unchanged still confirms and rebuilds.
        win.keyList().selectCategory(1);
        w.click(win.Label11);
        w.type({QStringLiteral("Memo")});
        w.click(form3()->Label2);
        QCOMPARE(w.lastBox(), QStringLiteral("64|The category Memo has been renamed in Memo"));
        waitForRebuild(win);
        QCOMPARE(win.keyList().currentCategory(), QStringLiteral("Alpha"));
        QCOMPARE(w.store.entries(QStringLiteral("Memo")).size(), 3);
    }

    void renameNeverMergesOrReplaces_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty category") << QStringLiteral("Work");
        QTest::newRow("category with keys") << QStringLiteral("Alpha");
        QTest::newRow("outside the store") << QStringLiteral("../Notes");
        QTest::newRow("star") << QStringLiteral("No*tes");
    }
    void renameNeverMergesOrReplaces() {
        QFETCH(QString, name);
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        const QStringList before = w.store.entries();
        w.click(win.Label11);
        w.type({name});
        w.click(form3()->Label2);
        QCOMPARE(w.lastBox(), kCreateRefused);
        QVERIFY(form3());
        QVERIFY(!win.CreaCAT->isActive());
        QCOMPARE(w.store.entries(), before);
        QCOMPARE(w.store.entries(QStringLiteral("Notes")), (QStringList{"n1", "n2", "n3"}));
        QVERIFY(w.store.entries(QStringLiteral("Work")).isEmpty());
        QCOMPARE(w.store.entries(QStringLiteral("Alpha")), (QStringList{"a1", "a2"}));
    }

    void withoutACurrentCategoryTheStoreRootIsSafe() {
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        win.Combo1->setCurrentIndex(-1);
        const QStringList before = w.store.entries();
        w.click(win.Label11);
        QVERIFY(form3()->Label4->text().isEmpty());
        w.answer({BoxAnswer::Yes});
        w.click(form3()->Label1);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: There is no current category"));
        w.type({QStringLiteral("Renamed")});
        w.click(form3()->Label2);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: There is no current category"));
        QVERIFY(w.fake.dialogs->inputBoxes.isEmpty());
        QVERIFY(form3());
        QCOMPARE(w.store.entries(), before);
        QCOMPARE(w.store.bytes(QStringLiteral("Cat.ini")), QByteArray("Notes\r\n"));
        QVERIFY(!QFileInfo::exists(w.store.appFolder() + QStringLiteral("/Renamed")));
    }

    void aReadOnlyStoreRootLosesNothing() {
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        const QStringList before = w.store.entries();
        ReadOnlyFolder readOnly(w.store.root());
        if (!readOnly.held())
            QSKIP("no way to make a folder read-only here");
        w.click(win.Label11);
        w.type({QStringLiteral("New")});
        w.click(form3()->Label9);
        QCOMPARE(w.lastBox(), kCreateRefused);
        w.answer({BoxAnswer::Yes});
        w.click(form3()->Label1);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The category Notes could not be removed"));
        w.type({QStringLiteral("Memo")});
        w.click(form3()->Label2);
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The category Notes could not be renamed"));
        QVERIFY(form3());
        QVERIFY(!win.CreaCAT->isActive());
        QCOMPARE(w.store.entries(), before);
        QCOMPARE(w.store.entries(QStringLiteral("Notes")), (QStringList{"n1", "n2", "n3"}));
    }

    void aStoreRootRemovedWhileRunning() {
        StoreWindow w;
        MainWindow& win = openOnNotes(w);
        win.keyList().selectKey(0);
        QVERIFY(QDir(w.store.root()).removeRecursively());
        w.click(win.Label11);
        w.type({QStringLiteral("New")});
        w.click(form3()->Label9);
        QCOMPARE(w.lastBox(), kCreateRefused);
        QVERIFY(!QFileInfo::exists(w.store.root()));

        // The rebuild finds no category: empty lists and no key of a vanished category in the editor.
        form3()->close();
        win.CreaCAT->start();
        waitForRebuild(win);
        QVERIFY(w.categories().isEmpty());
        QVERIFY(win.keyList().currentCategory().isEmpty());
        QVERIFY(w.keys().isEmpty());
        QVERIFY(!w.text().contains(QStringLiteral("note n1")));
        QVERIFY(!QFileInfo::exists(w.store.root()));
    }
};

QTEST_MAIN(CategoryManagerTest)
#include "CategoryManagerTest.moc"
