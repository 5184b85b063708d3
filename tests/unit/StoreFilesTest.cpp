#include "store/StoreFiles.h"
#include "platform/FileRename.h"

#include "ReadOnlyFolder.h"
#include "TestStore.h"

#include <QTest>

// The store's file operations against a real folder tree: what they refuse to touch matters more than
// what they do.
class StoreFilesTest : public QObject {
    Q_OBJECT
private slots:
    void renameNeverReplaces() {
        TestStore store;
        store.key(QStringLiteral("Work"), QStringLiteral("memo"), "memo text\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("note"), "note text\r\n");
        QCOMPARE(FileRename::renameNoReplace(store.path(QStringLiteral("Work/memo")),
                                             store.path(QStringLiteral("Work/note"))),
                 FileRename::Result::TargetExists);
        QCOMPARE(store.bytes(QStringLiteral("Work/memo")), QByteArray("memo text\r\n"));
        QCOMPARE(store.bytes(QStringLiteral("Work/note")), QByteArray("note text\r\n"));

        // Folders: an empty folder of the new name is not replaced either.
        store.category(QStringLiteral("Empty"));
        QCOMPARE(FileRename::renameNoReplace(store.path(QStringLiteral("Work")), store.path(QStringLiteral("Empty"))),
                 FileRename::Result::TargetExists);
        QVERIFY(store.exists(QStringLiteral("Work/memo")));
        QVERIFY(store.entries(QStringLiteral("Empty")).isEmpty());

        QCOMPARE(FileRename::renameNoReplace(store.path(QStringLiteral("Work/memo")),
                                             store.path(QStringLiteral("Work/memo"))),
                 FileRename::Result::Done);
        QCOMPARE(FileRename::renameNoReplace(store.path(QStringLiteral("Work/memo")),
                                             store.path(QStringLiteral("Work/Memo"))),
                 FileRename::Result::Done);
        QCOMPARE(store.bytes(QStringLiteral("Work/Memo")), QByteArray("memo text\r\n"));
        QCOMPARE(
            FileRename::renameNoReplace(store.path(QStringLiteral("Work/gone")), store.path(QStringLiteral("Work/x"))),
            FileRename::Result::Failed);
    }

    void newKeyNeverTruncates() {
        TestStore store;
        store.key(QStringLiteral("Work"), QStringLiteral("memo"), "text");
        QVERIFY(!StoreFiles::createEmptyKey(store.path(QStringLiteral("Work/memo"))));
        QCOMPARE(store.bytes(QStringLiteral("Work/memo")), QByteArray("text"));
        // A link to a file elsewhere is not followed and emptied either.
        QVERIFY(QFile::link(store.path(QStringLiteral("Work/memo")), store.path(QStringLiteral("Work/link"))));
        QVERIFY(!StoreFiles::createEmptyKey(store.path(QStringLiteral("Work/link"))));
        QCOMPARE(store.bytes(QStringLiteral("Work/memo")), QByteArray("text"));
        QVERIFY(StoreFiles::createEmptyKey(store.path(QStringLiteral("Work/new"))));
        QCOMPARE(QFileInfo(store.path(QStringLiteral("Work/new"))).size(), 0);
    }

    void keyRemovalLeavesFolders() {
        TestStore store;
        store.category(QStringLiteral("Work/memo"));
        store.key(QStringLiteral("Work/memo"), QStringLiteral("inner"), "x");
        QVERIFY(!StoreFiles::removeKey(store.path(QStringLiteral("Work/memo"))));
        QVERIFY(store.exists(QStringLiteral("Work/memo/inner")));
        QVERIFY(StoreFiles::removeKey(store.path(QStringLiteral("Work/already-gone"))));
    }

    void categoryRemovalIsAllOrNothing() {
        TestStore store;
        store.key(QStringLiteral("Notes"), QStringLiteral("a"), "1");
        store.key(QStringLiteral("Notes"), QStringLiteral(".hidden"), "2");
        store.key(QStringLiteral("Notes/sub"), QStringLiteral("b"), "3");
        bool keysRemoved = true;
        QVERIFY(!StoreFiles::removeCategory(store.path(QStringLiteral("Notes")), keysRemoved));
        QVERIFY(!keysRemoved);
        QCOMPARE(store.entries(QStringLiteral("Notes")),
                 (QStringList{QStringLiteral(".hidden"), QStringLiteral("a"), QStringLiteral("sub")}));

        QVERIFY(QDir(store.path(QStringLiteral("Notes/sub"))).removeRecursively());
        {
            // A store root that cannot change would keep the folder: no key may go first.
            ReadOnlyFolder readOnly(store.root());
            if (readOnly.held()) {
                QVERIFY(!StoreFiles::removeCategory(store.path(QStringLiteral("Notes")), keysRemoved));
                QCOMPARE(store.entries(QStringLiteral("Notes")).size(), 2);
            }
        }
        QVERIFY(StoreFiles::removeCategory(store.path(QStringLiteral("Notes")), keysRemoved));
        QVERIFY(keysRemoved);
        QVERIFY(!store.exists(QStringLiteral("Notes")));
        // A file that has taken a category's name is no category to remove.
        store.file(QStringLiteral("Plain"), "x");
        QVERIFY(!StoreFiles::removeCategory(store.path(QStringLiteral("Plain")), keysRemoved));
        QVERIFY(store.exists(QStringLiteral("Plain")));
    }
};

QTEST_GUILESS_MAIN(StoreFilesTest)
#include "StoreFilesTest.moc"
