// Key files, Cat.ini and the folder listings: the byte-level formats the store shares with older versions.

#include "TestStore.h"
#include "platform/TextFile.h"
#include "store/CatIni.h"
#include "store/KeyFile.h"
#include "store/StoreListing.h"

#include <QTest>

#include <sys/stat.h>

class StoreFormatsTest : public QObject {
    Q_OBJECT
private slots:
    void splitLines_data();
    void splitLines();
    void decodesUtf8AndWindows1252();
    void editorReadInvertsSave_data();
    void editorReadInvertsSave();
    void writeAtomicReplacesOrFailsCleanly();
    void catIniName_data();
    void catIniName();
    void catIniWriteIsNamePlusCrLf();
    void listingsSortFilterAndSkip();
};

void StoreFormatsTest::splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone cr") << QStringLiteral("a\rb") << QStringList{"a", "b"};
    QTest::newRow("lone lf stays in its line") << QStringLiteral("a\nb\r\nc") << QStringList{"a\nb", "c"};
    QTest::newRow("no final line end") << QStringLiteral("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("blank lines kept") << QStringLiteral("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
    QTest::newRow("cr cr lf") << QStringLiteral("a\r\r\nb") << QStringList{"a", "", "b"};
}

void StoreFormatsTest::splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(TextFile::splitLines(text), lines);
}

void StoreFormatsTest::decodesUtf8AndWindows1252() {
    QCOMPARE(TextFile::decode(QByteArray("caf\xc3\xa9")), QStringLiteral("café"));
    QCOMPARE(TextFile::decode(QByteArray("\xef\xbb\xbfhi")), QStringLiteral("hi"));
    // Only one BOM is a mark; a second one is a character of the text, and a text that begins with that
    // character is written with a BOM in front, so that it reads back whole.
    const QString zwnbsp = QChar(0xFEFF) + QStringLiteral("hi");
    QCOMPARE(TextFile::decode(QByteArray("\xef\xbb\xbf\xef\xbb\xbfhi")), zwnbsp);
    QCOMPARE(TextFile::encode(zwnbsp), QByteArray("\xef\xbb\xbf\xef\xbb\xbfhi"));
    // Bytes a Windows editor wrote: é, the euro sign and curly quotes are no valid UTF-8.
    QCOMPARE(TextFile::decode(QByteArray("caf\xe9 \x80 \x96 \x93x\x94")),
             QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x93 \xe2\x80\x9cx\xe2\x80\x9d"));
    QCOMPARE(TextFile::encode(QStringLiteral("€")), QByteArray("\xe2\x82\xac"));
}

void StoreFormatsTest::editorReadInvertsSave_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << QStringLiteral("abc");
    QTest::newRow("two lines") << QStringLiteral("a\r\nb");
    QTest::newRow("ends with a line end") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("only line ends") << QStringLiteral("\r\n\r\n");
    QTest::newRow("comment line") << QStringLiteral("Dear Sir,\r\n*/ a note\r\nRegards");
    QTest::newRow("lone lf") << QStringLiteral("x\ny");
    QTest::newRow("non-ascii") << QStringLiteral("Grüße — 日本");
}

void StoreFormatsTest::editorReadInvertsSave() {
    QFETCH(QString, text);
    TestStore store;
    const QString path = store.path(QStringLiteral("k"));
    QVERIFY(TextFile::writeAtomic(path, KeyFile::saveFormat(text)));
    QCOMPARE(store.bytes(QStringLiteral("k")), (text + QStringLiteral("\r\n")).toUtf8());
    QCOMPARE(KeyFile::readForEditor(path), std::optional<QString>(text));
}

void StoreFormatsTest::writeAtomicReplacesOrFailsCleanly() {
    TestStore store;
    store.file(QStringLiteral("k"), "old text that is longer\r\n");
    QVERIFY(TextFile::writeAtomic(store.path(QStringLiteral("k")), QStringLiteral("new")));
    QCOMPARE(store.bytes(QStringLiteral("k")), QByteArray("new"));
    QCOMPARE(store.entries(), QStringList{"k"}); // no temporary file left behind

    // A folder where the file should be, and a folder that does not exist: both fail, nothing changes.
    store.category(QStringLiteral("dir"));
    QVERIFY(!TextFile::writeAtomic(store.path(QStringLiteral("dir")), QStringLiteral("x")));
    QVERIFY(QFileInfo(store.path(QStringLiteral("dir"))).isDir());
    QVERIFY(!TextFile::writeAtomic(store.path(QStringLiteral("missing/k")), QStringLiteral("x")));
    QVERIFY(!KeyFile::readForEditor(store.path(QStringLiteral("dir"))));
    QVERIFY(!KeyFile::readForEditor(store.path(QStringLiteral("none"))));

    // A replaced file keeps its permissions; a new one follows the umask, as every file the user makes.
    const auto mode = [&](const char* name) {
        struct stat info {};
        ::stat(QFile::encodeName(store.path(QString::fromLatin1(name))).constData(), &info);
        return info.st_mode & 0777;
    };
    QFile::setPermissions(store.path(QStringLiteral("k")), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                               QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                               QFileDevice::ReadGroup);
    QVERIFY(TextFile::writeAtomic(store.path(QStringLiteral("k")), QStringLiteral("again")));
    QCOMPARE(mode("k"), 0640u);
    const mode_t umask = ::umask(077);
    QVERIFY(TextFile::writeAtomic(store.path(QStringLiteral("private")), QStringLiteral("x")));
    ::umask(022);
    QVERIFY(TextFile::writeAtomic(store.path(QStringLiteral("shared")), QStringLiteral("x")));
    ::umask(umask);
    QCOMPARE(mode("private"), 0600u);
    QCOMPARE(mode("shared"), 0644u);
}

void StoreFormatsTest::catIniName_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("plain") << QByteArray("Work\r\n") << "Work";
    QTest::newRow("no line end") << QByteArray("Work") << "Work";
    QTest::newRow("comma in the name") << QByteArray("Work,old\r\n") << "Work,old";
    QTest::newRow("comma falls back to first field") << QByteArray("Alpha,old\r\n") << "Alpha";
    QTest::newRow("quoted") << QByteArray("\"Work\"\r\n") << "Work";
    QTest::newRow("leading quote in the name") << QByteArray("\"quoted\r\n") << "\"quoted";
    QTest::newRow("number-like") << QByteArray("007\r\n") << "007";
    QTest::newRow("leading blank lines fall back") << QByteArray("\r\n  Alpha\r\n") << "Alpha";
    QTest::newRow("blanks only") << QByteArray("  \r\n \r\n") << "";
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("unknown") << QByteArray("Old\r\n") << "";
    QTest::newRow("case differs") << QByteArray("work\r\n") << "";
}

void StoreFormatsTest::catIniName() {
    QFETCH(QByteArray, content);
    QFETCH(QString, chosen);
    const QStringList categories{"007", "Alpha", "\"quoted", "Work", "Work,old"};
    QCOMPARE(CatIni::chooseCategory(TextFile::decode(content), categories), chosen);
}

void StoreFormatsTest::catIniWriteIsNamePlusCrLf() {
    TestStore store;
    QVERIFY(CatIni::write(store.path(QStringLiteral("Cat.ini")), QStringLiteral("Work")));
    QCOMPARE(store.bytes(QStringLiteral("Cat.ini")), QByteArray("Work\r\n"));
    QVERIFY(CatIni::write(store.path(QStringLiteral("Cat.ini")), QStringLiteral("Café, \"x\"")));
    QCOMPARE(
        CatIni::chooseCategory(*TextFile::read(store.path(QStringLiteral("Cat.ini"))), {QStringLiteral("Café, \"x\"")}),
        QStringLiteral("Café, \"x\""));
}

void StoreFormatsTest::listingsSortFilterAndSkip() {
    TestStore store;
    for (const char* name : {"work", "Alpha", "beta", ".hidden", "Zeta"})
        store.category(QString::fromLatin1(name));
    store.file(QStringLiteral("Cat.ini"), "Alpha\r\n");
    QCOMPARE(StoreListing::categories(store.root()), (QStringList{"Alpha", "beta", "work", "Zeta"}));

    store.key(QStringLiteral("Alpha"), QStringLiteral("sig"));
    store.key(QStringLiteral("Alpha"), QStringLiteral("Addr"));
    store.key(QStringLiteral("Alpha"), QStringLiteral("e.g"));
    store.key(QStringLiteral("Alpha"), QStringLiteral(".secret"));
    store.key(QStringLiteral("Alpha"), QStringLiteral("b"));
    store.key(QStringLiteral("Alpha"), QStringLiteral("B"));
    store.category(QStringLiteral("Alpha/sub"));
    QVERIFY(QFile::link(store.path(QStringLiteral("Cat.ini")), store.path(QStringLiteral("Alpha/link"))));
    QCOMPARE(StoreListing::keys(store.path(QStringLiteral("Alpha"))), (QStringList{"Addr", "B", "b", "e.g", "sig"}));

    QVERIFY(StoreListing::keys(store.path(QStringLiteral("missing"))).isEmpty());
    QVERIFY(StoreListing::keys(QString()).isEmpty());
}

QTEST_GUILESS_MAIN(StoreFormatsTest)
#include "StoreFormatsTest.moc"
