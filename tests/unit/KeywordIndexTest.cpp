#include "expand/KeywordIndex.h"

#include <QtTest>

class KeywordIndexTest : public QObject {
    Q_OBJECT
private slots:
    void matching_data();
    void matching();
    void firstEntryWins();
    void rebuildForgetsOldEntries();
    void longTexts();
};

void KeywordIndexTest::matching_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<int>("row");
    QTest::newRow("exact") << "sig" << 0;
    QTest::newRow("other case") << "SiG" << 0;
    QTest::newRow("spaces around") << "  Sig   " << 0;
    QTest::newRow("entry with spaces") << "memo" << 1;
    QTest::newRow("non-ASCII letters") << "ÄRGER" << 2;
    QTest::newRow("line end after") << "sig\r\n" << -1;
    QTest::newRow("lone LF after") << "sig\n" << -1;
    QTest::newRow("tab before") << "\tsig" << -1;
    QTest::newRow("only spaces") << "    " << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("part of a name") << "si" << -1;
    QTest::newRow("inner space counts") << "s ig" << -1;
}

void KeywordIndexTest::matching() {
    QFETCH(QString, clipboard);
    QFETCH(int, row);
    KeywordIndex index;
    index.rebuild({QStringLiteral("sig"), QStringLiteral(" Memo "), QStringLiteral("ärger")});
    QCOMPARE(index.find(clipboard), row);
}

void KeywordIndexTest::firstEntryWins() {
    KeywordIndex index;
    index.rebuild({QStringLiteral("alpha"), QStringLiteral("Sig"), QStringLiteral("sig"), QStringLiteral(" SIG")});
    QCOMPARE(index.find(u"sig"), 1);
    QCOMPARE(index.size(), 2);
}

void KeywordIndexTest::rebuildForgetsOldEntries() {
    KeywordIndex index;
    index.rebuild({QStringLiteral("old")});
    index.rebuild({QStringLiteral("new")});
    QCOMPARE(index.find(u"old"), -1);
    QCOMPARE(index.find(u"new"), 0);
    index.rebuild({});
    QCOMPARE(index.find(u"new"), -1);
}

void KeywordIndexTest::longTexts() {
    // A long clipboard text is turned away by its length; a key with a long name still matches.
    const QString longName(300, u'x');
    KeywordIndex index;
    index.rebuild({QStringLiteral("sig"), longName});
    QCOMPARE(index.find(QString(300, u'X')), 1);
    QCOMPARE(index.find(QString(2'000'000, u'x')), -1);
    QCOMPARE(index.find(QString(1'000'000, u' ') + QStringLiteral("sig") + QString(1'000'000, u' ')), 0);
}

QTEST_GUILESS_MAIN(KeywordIndexTest)
#include "KeywordIndexTest.moc"
