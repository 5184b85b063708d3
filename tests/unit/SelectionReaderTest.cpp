#include "platform/SelectionReader.h"

#include <QTest>

// The clipboard reader's decisions, event by event, as the X11 backend feeds them: what it converts,
// which replies it takes, and what text each change ends with.
class SelectionReaderTest : public QObject {
    Q_OBJECT
    using Target = SelectionReader::Target;
    using Type = SelectionReader::ReplyType;
    static constexpr unsigned long kUs = 7;
    static constexpr unsigned long kEditor = 42;
    static constexpr unsigned long kOther = 43;

private slots:
    void oneConversionPerChange() {
        SelectionReader reader(kUs);
        auto step = reader.ownerChanged(kEditor, 1000, QString());
        QCOMPARE(step.convert, Target::Utf8String);
        QCOMPARE(step.time, 1000ul);
        QVERIFY(step.startTimer);
        QVERIFY(!step.text);
        step = reader.replied(1000, false, Type::Utf8String,
                              QByteArray("stra\xc3\x9f"
                                         "e"));
        QCOMPARE(step.text, QStringLiteral("straße"));
        QVERIFY(step.stopTimer);
        QVERIFY(!step.convert);
        QVERIFY(!reader.converting());

        // The same owner copying again is a new change, and is read again.
        QCOMPARE(reader.ownerChanged(kEditor, 1001, QString()).convert, Target::Utf8String);
        QCOMPARE(reader.replied(1001, false, Type::Utf8String, "sig").text, QStringLiteral("sig"));
    }

    void noOwnerAndOurOwnTextNeedNoTransfer() {
        SelectionReader reader(kUs);
        auto step = reader.ownerChanged(0, 5, QStringLiteral("mine"));
        QCOMPARE(step.text, QString());
        QVERIFY(!step.convert);
        step = reader.ownerChanged(kUs, 6, QStringLiteral("Best regards\r\nJo"));
        QCOMPARE(step.text, QStringLiteral("Best regards\r\nJo"));
        QVERIFY(!step.convert);
        // Our own ownership also ends a conversion of a foreign owner that was still under way.
        reader.ownerChanged(kEditor, 7, QString());
        step = reader.ownerChanged(kUs, 8, QStringLiteral("x"));
        QVERIFY(step.stopTimer);
        QVERIFY(!reader.replied(7, false, Type::Utf8String, "late").text);
    }

    void refusalsFallBackOnceEach() {
        SelectionReader reader(kUs);
        reader.ownerChanged(kEditor, 10, QString());
        auto step = reader.replied(10, true, Type::Other, {});
        QCOMPARE(step.convert, Target::String);
        QVERIFY(step.startTimer);
        QCOMPARE(reader.replied(10, false, Type::String, QByteArray("caf\xe9")).text, QStringLiteral("café"));

        // An answer in a type we do not read counts as a refusal; after TEXT there is nothing left.
        reader.ownerChanged(kEditor, 11, QString());
        QCOMPARE(reader.replied(11, true, Type::Other, {}).convert, Target::String);
        QCOMPARE(reader.replied(11, false, Type::Other, "compound").convert, Target::Text);
        step = reader.replied(11, true, Type::Other, {});
        QCOMPARE(step.text, QString());
        QVERIFY(!step.convert);
        QVERIFY(!reader.converting());
    }

    void lateAndForeignRepliesAreIgnored() {
        SelectionReader reader(kUs);
        QVERIFY(!reader.replied(3, false, Type::Utf8String, "unasked").text);
        reader.ownerChanged(kEditor, 20, QString());
        // A new owner before the first answered: the old owner's late reply is not taken for the new one.
        reader.ownerChanged(kOther, 21, QString());
        QVERIFY(!reader.replied(20, false, Type::Utf8String, "old").text);
        QCOMPARE(reader.replied(21, false, Type::Utf8String, "new").text, QStringLiteral("new"));
        // A second reply to a request already answered changes nothing.
        QVERIFY(!reader.replied(21, false, Type::Utf8String, "again").text);
    }

    void silentOwnerCountsAsNoText() {
        SelectionReader reader(kUs);
        reader.ownerChanged(kEditor, 30, QString());
        auto step = reader.timedOut();
        QCOMPARE(step.text, QString());
        QVERIFY(!reader.converting());
        // Its answer, should it come after all, is too late; the next change is read as usual.
        QVERIFY(!reader.replied(30, false, Type::Utf8String, "late").text);
        QVERIFY(!reader.timedOut().text);
        reader.ownerChanged(kOther, 31, QString());
        QCOMPARE(reader.replied(31, false, Type::Utf8String, "sig").text, QStringLiteral("sig"));
    }

    void incrOwnersAreNotRead() {
        SelectionReader reader(kUs);
        reader.ownerChanged(kEditor, 40, QString());
        const auto step = reader.replied(40, false, Type::Incr, {});
        QCOMPARE(step.text, QString());
        QVERIFY(step.abandonProperty);
        QVERIFY(!step.convert);
        QVERIFY(!reader.converting());
    }
};

QTEST_GUILESS_MAIN(SelectionReaderTest)
#include "SelectionReaderTest.moc"
