#include "store/StorePaths.h"
#include "store/StoreSeed.h"

#include "ReadOnlyFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

// Where the store lives for a portable copy, a build tree and an installed program, and the first start
// of an installed one, which copies the example keys in without ever touching a store that is there.
class AppFolderTest : public QObject {
    Q_OBJECT
private slots:
    void folderChoice();
    void systemFolders();
    void seedCopiesTheExamples();
    void seedNeverOverwrites();
    void seedFailureLeavesNothing();

private:
    static void write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Every entry below a folder, relative and sorted, so two trees can be compared whole.
    static QStringList tree(const QString& folder) {
        QStringList list;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            list.append(QDir(folder).relativeFilePath(it.next()));
        list.sort();
        return list;
    }
    static void makeExample(const QString& root) {
        write(root + QStringLiteral("/Cat.ini"), "Work\r\n");
        write(root + QStringLiteral("/Work/dear"), "Dear [date]\r\n");
        write(root + QStringLiteral("/Generale/sig"), "Kind regards\r\n");
        QDir().mkpath(root + QStringLiteral("/Empty"));
    }
};

void AppFolderTest::folderChoice() {
    using Kind = StorePaths::FolderKind;
    QTemporaryDir program;
    const QString user = QStringLiteral("/home/someone/.local/share/wordwisp");

    // WORDWISP_HOME wins over everything, made absolute and without a trailing separator.
    auto choice =
        StorePaths::chooseApplicationFolder(program.path(), program.path() + QStringLiteral("/x//"), user, true);
    QCOMPARE(choice.kind, Kind::Named);
    QCOMPARE(choice.folder, program.path() + QStringLiteral("/x"));
    QCOMPARE(StorePaths::chooseApplicationFolder(program.path(), QStringLiteral("rel"), user, false).folder,
             QDir::current().absoluteFilePath(QStringLiteral("rel")));

    // A writable folder of the user's own, with or without a store (a build tree, a portable copy).
    choice = StorePaths::chooseApplicationFolder(program.path() + u'/', QString(), user, false);
    QCOMPARE(choice.kind, Kind::Program);
    QCOMPARE(choice.folder, program.path());

    // A system folder is never used, not even where root could write it or a Db lies there.
    QVERIFY(QDir(program.path()).mkpath(QStringLiteral("Db")));
    choice = StorePaths::chooseApplicationFolder(program.path(), QString(), user, true);
    QCOMPARE(choice.kind, Kind::UserData);
    QCOMPARE(choice.folder, user);

    // A read-only copy that carries its store (a portable copy on read-only media) keeps it ...
    {
        ReadOnlyFolder locked(program.path());
        if (locked.held())
            QCOMPARE(StorePaths::chooseApplicationFolder(program.path(), QString(), user, false).kind, Kind::Program);
    }
    // ... one without a store uses the user's folder.
    QVERIFY(QDir(program.path()).rmdir(QStringLiteral("Db")));
    ReadOnlyFolder locked(program.path());
    if (!locked.held())
        QSKIP("this file system cannot make a folder read-only here");
    choice = StorePaths::chooseApplicationFolder(program.path(), QString(), user, false);
    QCOMPARE(choice.kind, Kind::UserData);
    QCOMPARE(choice.folder, user);
}

void AppFolderTest::systemFolders() {
    QVERIFY(StorePaths::isSystemFolder(QStringLiteral("/usr/bin")));
    QVERIFY(StorePaths::isSystemFolder(QStringLiteral("/usr/local/bin")));
    QVERIFY(StorePaths::isSystemFolder(QStringLiteral("/opt/wordwisp/bin/")));
    QVERIFY(StorePaths::isSystemFolder(QStringLiteral("/usr/bin/../lib/x")));
    QVERIFY(!StorePaths::isSystemFolder(QStringLiteral("/usrlocal/bin")));
    QVERIFY(!StorePaths::isSystemFolder(QStringLiteral("/home/someone/wordwisp/build")));
    QTemporaryDir mine;
    QVERIFY(!StorePaths::isSystemFolder(mine.path()));
    // A link from the user's folder into /usr is judged by where it leads.
    QVERIFY(QFile::link(QStringLiteral("/usr/bin"), mine.path() + QStringLiteral("/bin")));
    QVERIFY(StorePaths::isSystemFolder(mine.path() + QStringLiteral("/bin")));
}

void AppFolderTest::seedCopiesTheExamples() {
    QTemporaryDir dir;
    const QString example = dir.path() + QStringLiteral("/share/examples/Db");
    makeExample(example);
    QFile::setPermissions(example + QStringLiteral("/Work/dear"),
                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    // A link in the example is neither copied nor followed.
    write(dir.path() + QStringLiteral("/secret"), "not for the store");
    QVERIFY(QFile::link(dir.path() + QStringLiteral("/secret"), example + QStringLiteral("/Work/link")));

    // The user's data folder does not exist yet, nor its parents.
    const QString app = dir.path() + QStringLiteral("/home/.local/share/wordwisp");
    QCOMPARE(StoreSeed::seed(example, app), StoreSeed::Result::Seeded);
    const QString root = app + QStringLiteral("/Db");
    QCOMPARE(tree(root), (QStringList{"Cat.ini", "Empty", "Generale", "Generale/sig", "Work", "Work/dear"}));
    QCOMPARE(read(root + QStringLiteral("/Work/dear")), QByteArray("Dear [date]\r\n"));
    QCOMPARE(read(root + QStringLiteral("/Cat.ini")), QByteArray("Work\r\n"));
    // The copies are the user's to edit, and nothing of the staging is left beside the store.
    QVERIFY(QFileInfo(root + QStringLiteral("/Work/dear")).isWritable());
    QVERIFY(QFileInfo(root).permissions().testFlag(QFile::ExeOther));
    QCOMPARE(QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"Db"});

    // No example found: nothing is made, and the start goes on with the usual empty store.
    const QString other = dir.path() + QStringLiteral("/other");
    QCOMPARE(StoreSeed::seed(QString(), other), StoreSeed::Result::NoExample);
    QCOMPARE(StoreSeed::seed(dir.path() + QStringLiteral("/none"), other), StoreSeed::Result::NoExample);
    QVERIFY(!QFileInfo::exists(other));
}

void AppFolderTest::seedNeverOverwrites() {
    QTemporaryDir dir;
    const QString example = dir.path() + QStringLiteral("/example");
    makeExample(example);

    // The user's own store, even an empty one, or a stray file or link named Db: left exactly as it is.
    const QString app = dir.path() + QStringLiteral("/app");
    write(app + QStringLiteral("/Db/Work/dear"), "my own text");
    QCOMPARE(StoreSeed::seed(example, app), StoreSeed::Result::AlreadyThere);
    QCOMPARE(tree(app), (QStringList{"Db", "Db/Work", "Db/Work/dear"}));
    QCOMPARE(read(app + QStringLiteral("/Db/Work/dear")), QByteArray("my own text"));

    const QString empty = dir.path() + QStringLiteral("/empty");
    QVERIFY(QDir().mkpath(empty + QStringLiteral("/Db")));
    QCOMPARE(StoreSeed::seed(example, empty), StoreSeed::Result::AlreadyThere);
    QCOMPARE(tree(empty), QStringList{"Db"});

    const QString dangling = dir.path() + QStringLiteral("/dangling");
    QVERIFY(QDir().mkpath(dangling));
    QVERIFY(QFile::link(dir.path() + QStringLiteral("/gone"), dangling + QStringLiteral("/Db")));
    QCOMPARE(StoreSeed::seed(example, dangling), StoreSeed::Result::AlreadyThere);
    QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/gone")));
}

void AppFolderTest::seedFailureLeavesNothing() {
    QTemporaryDir dir;
    const QString example = dir.path() + QStringLiteral("/example");
    makeExample(example);
    const QString app = dir.path() + QStringLiteral("/app");
    QVERIFY(QDir().mkpath(app));
    ReadOnlyFolder locked(app);
    if (!locked.held())
        QSKIP("this file system cannot make a folder read-only here");
    QCOMPARE(StoreSeed::seed(example, app), StoreSeed::Result::Failed);
    QCOMPARE(tree(app), QStringList());
}

QTEST_GUILESS_MAIN(AppFolderTest)
#include "AppFolderTest.moc"
