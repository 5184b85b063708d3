// The platform layer's own logic: keystroke notation, the clock texts, and the key editor's mapping
// between the store's CR LF text and its document.

#include "platform/ClockText.h"
#include "platform/KeystrokeNotation.h"
#include "store/KeyEditor.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<Keystroke>)

class PlatformLogicTest : public QObject {
    Q_OBJECT
private slots:
    void keystrokes_data();
    void keystrokes();
    void malformedKeystrokes();
    void clockTexts();
    void keyEditorKeepsTextExactly_data();
    void keyEditorKeepsTextExactly();
};

namespace {
Keystroke key(const char* k, bool ctrl = false, bool alt = false, bool shift = false) {
    return {ctrl, alt, shift, QString::fromUtf8(k)};
}
} // namespace

void PlatformLogicTest::keystrokes_data() {
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QList<Keystroke>>("strokes");
    QTest::newRow("ctrl+v") << "^v" << QList<Keystroke>{key("v", true)};
    QTest::newRow("ctrl+c") << "^c" << QList<Keystroke>{key("c", true)};
    QTest::newRow("alt+tab") << "%{TAB}" << QList<Keystroke>{key("TAB", false, true)};
    QTest::newRow("plain text") << "12:05" << QList<Keystroke>{key("1"), key("2"), key(":"), key("0"), key("5")};
    QTest::newRow("modifier applies to one key") << "^ab" << QList<Keystroke>{key("a", true), key("b")};
    QTest::newRow("combined modifiers") << "^+{END}" << QList<Keystroke>{key("END", true, false, true)};
    QTest::newRow("braced literals") << "{^}{%}{{}{}}" << QList<Keystroke>{key("^"), key("%"), key("{"), key("}")};
    QTest::newRow("named keys any case") << "{enter}{Esc}~" << QList<Keystroke>{key("ENTER"), key("ESC"), key("ENTER")};
    QTest::newRow("empty") << "" << QList<Keystroke>{};
    QTest::newRow("beyond U+FFFF is one key") << "😀{😀}" << QList<Keystroke>{key("😀"), key("😀")};
}

void PlatformLogicTest::keystrokes() {
    QFETCH(QString, sequence);
    QFETCH(QList<Keystroke>, strokes);
    const auto parsed = KeystrokeNotation::parse(sequence);
    QVERIFY(parsed);
    QCOMPARE(*parsed, strokes);
}

void PlatformLogicTest::malformedKeystrokes() {
    for (const char* bad : {"^", "{TAB", "{NOPE}", "{}", "a}", "%"})
        QVERIFY2(!KeystrokeNotation::parse(QString::fromLatin1(bad)), bad);
    // Half of a character is no key that could be typed.
    QVERIFY(!KeystrokeNotation::parse(QStringLiteral("^") + QChar(0xD83D)));
    QVERIFY(!KeystrokeNotation::parse(QStringLiteral("{") + QChar(0xDE00) + QStringLiteral("}")));
}

void PlatformLogicTest::clockTexts() {
    const QDateTime moment(QDate(2026, 12, 8), QTime(14, 5, 9));
    QCOMPARE(ClockText::date(moment.date()), QStringLiteral("12-08-2026"));
    QCOMPARE(ClockText::time(moment.time()), QStringLiteral("14:05:09"));
    QCOMPARE(ClockText::title(moment), QStringLiteral(" Wordwisp  | 12-08-2026 - 14:05:09 |"));
    QCOMPARE(ClockText::time(QTime(0, 0, 0)), QStringLiteral("00:00:00"));
    QCOMPARE(ClockText::date(QDate(987, 1, 2)), QStringLiteral("01-02-0987"));
}

void PlatformLogicTest::keyEditorKeepsTextExactly_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("lines") << QStringLiteral("a\r\nb\r\n\r\nc");
    QTest::newRow("trailing line end") << QStringLiteral("a\r\n");
    QTest::newRow("lone lf inside a line") << QStringLiteral("a\nb\r\nc");
    QTest::newRow("tabs and blanks") << QStringLiteral("\t x \r\n  ");
}

void PlatformLogicTest::keyEditorKeepsTextExactly() {
    QFETCH(QString, text);
    KeyEditor editor;
    editor.setText(text);
    QCOMPARE(editor.text(), text);
    editor.appendText(QStringLiteral("\r\nend"));
    QCOMPARE(editor.text(), text + QStringLiteral("\r\nend"));
    editor.moveCaretToEnd();
    QVERIFY(editor.caretAtEnd());
}

QTEST_MAIN(PlatformLogicTest)
#include "PlatformLogicTest.moc"
