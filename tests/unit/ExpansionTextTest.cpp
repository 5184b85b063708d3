#include "expand/ExpansionText.h"
#include "platform/TextFile.h"

#include <QtTest>

class ExpansionTextTest : public QObject {
    Q_OBJECT
private slots:
    void commentLinesAreLeftOut_data();
    void commentLinesAreLeftOut();
    void placeholders_data();
    void placeholders();
    void insertedTextIsNotScannedAgain();
    void buildUsesOneMoment();
};

void ExpansionTextTest::commentLinesAreLeftOut_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expansion");
    QTest::newRow("comment in the middle") << QByteArray("Yours\r\n*/ a note\r\nJo\r\n") << "Yours\r\nJo";
    QTest::newRow("first line a comment") << QByteArray("*/ note\r\nYours\r\nJo\r\n") << "Yours\r\nJo";
    QTest::newRow("last line a comment") << QByteArray("Yours\r\n*/ note") << "Yours";
    QTest::newRow("only comments") << QByteArray("*/ one\r\n*/two\r\n") << "";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << "a\r\nb";
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb\r\n") << "a\r\n\r\nb";
    QTest::newRow("lone LF stays inside its line") << QByteArray("a\nb\r\nc") << "a\nb\r\nc";
    QTest::newRow("lone CR ends a line") << QByteArray("a\r*/x\rb") << "a\r\nb";
    QTest::newRow("mark not at the start") << QByteArray(" */ x\r\n*x\r\n/*y") << " */ x\r\n*x\r\n/*y";
}

void ExpansionTextTest::commentLinesAreLeftOut() {
    QFETCH(QByteArray, file);
    QFETCH(QString, expansion);
    QCOMPARE(ExpansionText::joinKeptLines(TextFile::splitLines(TextFile::decode(file))), expansion);
}

void ExpansionTextTest::placeholders_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("date") << "[date]"
                          << "12-08-2026";
    QTest::newRow("time") << "at [time]."
                          << "at 14:05:09.";
    QTest::newRow("adjacent") << "[date][time]"
                              << "12-08-202614:05:09";
    QTest::newRow("repeated") << "[time] [date] [time]"
                              << "14:05:09 12-08-2026 14:05:09";
    QTest::newRow("capitals stay") << "[Date] [DATE] [Time]"
                                   << "[Date] [DATE] [Time]";
    QTest::newRow("brackets around") << "[[date]]"
                                     << "[12-08-2026]";
    QTest::newRow("broken then whole") << "[dat[date] [time"
                                       << "[dat12-08-2026 [time";
    QTest::newRow("none") << "plain text"
                          << "plain text";
}

void ExpansionTextTest::placeholders() {
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(ExpansionText::replacePlaceholders(text, QStringLiteral("12-08-2026"), QStringLiteral("14:05:09")),
             result);
}

void ExpansionTextTest::insertedTextIsNotScannedAgain() {
    // A date text that itself looks like a placeholder is pasted as it is.
    QCOMPARE(ExpansionText::replacePlaceholders(u"[date]-[time]", QStringLiteral("[time]"), QStringLiteral("[date]")),
             QStringLiteral("[time]-[date]"));
}

void ExpansionTextTest::buildUsesOneMoment() {
    const QDateTime moment(QDate(2026, 12, 8), QTime(14, 5, 9));
    QCOMPARE(
        ExpansionText::build(
            {QStringLiteral("On [date]"), QStringLiteral("*/ [time] hidden"), QStringLiteral("at [time]")}, moment),
        QStringLiteral("On 12-08-2026\r\nat 14:05:09"));
}

QTEST_GUILESS_MAIN(ExpansionTextTest)
#include "ExpansionTextTest.moc"
