#include "store/NameRules.h"

#include <QTest>

class NameRulesTest : public QObject {
    Q_OBJECT
private slots:
    void acceptance_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << QStringLiteral("sig") << true;
        QTest::newRow("dot inside") << QStringLiteral("e.g") << true;
        QTest::newRow("blanks kept") << QStringLiteral(" my key ") << true;
        QTest::newRow("accents") << QStringLiteral("perché") << true;
        QTest::newRow("comma and brackets") << QStringLiteral("a,b [x] (y)") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("only blanks") << QStringLiteral("   ") << false;
        QTest::newRow("dot") << QStringLiteral(".") << false;
        QTest::newRow("dot dot") << QStringLiteral("..") << false;
        QTest::newRow("hidden") << QStringLiteral(".sig") << false;
        for (const char c : QByteArray("\\/:*?\"<>|"))
            QTest::addRow("char %c", c) << QStringLiteral("a%1b").arg(QLatin1Char(c)) << false;
        QTest::newRow("escape to parent") << QStringLiteral("../Cat.ini") << false;
        QTest::newRow("tab") << QStringLiteral("a\tb") << false;
        QTest::newRow("line feed") << QStringLiteral("a\nb") << false;
        QTest::newRow("nul") << QString(QChar(0)) << false;
        QTest::newRow("delete char") << QString(QChar(0x7F)) << false;
        // Half a character would be written as U+FFFD, so two such names would share one file.
        QTest::newRow("beyond U+FFFF") << QStringLiteral("😀 smile") << true;
        QTest::newRow("lone high surrogate") << QStringLiteral("a") + QChar(0xD83D) << false;
        QTest::newRow("lone low surrogate") << QChar(0xDE00) + QStringLiteral("a") << false;
    }
    void acceptance() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(NameRules::isAcceptable(name), accepted);
    }

    void clashesIgnoreCaseButNotTheKeyItself() {
        const QStringList keys{QStringLiteral("memo"), QStringLiteral("Note")};
        QVERIFY(NameRules::clashes(QStringLiteral("Memo"), keys));
        QVERIFY(NameRules::clashes(QStringLiteral("NOTE"), keys));
        QVERIFY(!NameRules::clashes(QStringLiteral("memos"), keys));
        // Renaming memo to Memo is a change of case of the same key, not a clash.
        QVERIFY(!NameRules::clashes(QStringLiteral("Memo"), keys, QStringLiteral("memo")));
        QVERIFY(NameRules::clashes(QStringLiteral("note"), keys, QStringLiteral("memo")));
        // Two keys that differ only in case (possible on Linux): either name clashes with the other.
        const QStringList twins{QStringLiteral("memo"), QStringLiteral("Memo")};
        QVERIFY(NameRules::clashes(QStringLiteral("Memo"), twins, QStringLiteral("memo")));
    }
};

QTEST_GUILESS_MAIN(NameRulesTest)
#include "NameRulesTest.moc"
