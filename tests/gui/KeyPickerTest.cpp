// The key picker as `wordwisp --pick` opens it, and `--paste` as the running instance carries it out,
// with the fake platform: the user types a filter, walks the matches with the arrows, and Enter pastes
// into the window that had the focus before the picker opened; Esc pastes nothing.

#include "expand/KeyPicker.h"
#include "StoreWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {
struct Picker : StoreWindow {
    Picker() {
        store.catIni("Work\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("sig"), "Best regards\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("memo"), "Yours\r\n*/ not pasted\r\nJo, [date]\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("ref"), "sig\r\n");
        store.key(QStringLiteral("Other"), QStringLiteral("addr"), "12 Long Road\r\nTown\r\n");
        store.key(QStringLiteral("Other"), QStringLiteral("Signal"), "beep\r\n");
        open();
        window->show();
        QTest::qWait(20);
    }
    KeyPicker& picker() { return window->picker(); }
    // As main() opens it: the focus remembered as the request arrives, then the texts read.
    void pick(WindowFocus::WindowId focused) {
        fake.focus->focused = focused;
        picker().open(fake.focus->foreignFocus());
        QTRY_VERIFY(!picker().reading());
    }
    void type(const QString& text) { QTest::keyClicks(picker().filterField, text); }
    void press(Qt::Key key) { QTest::keyClick(picker().filterField, key); }
    QStringList rows() {
        QStringList out;
        for (int row = 0; row < picker().matchList->count(); ++row)
            out << picker().matchList->item(row)->text();
        return out;
    }
    QString currentRow() {
        const QListWidgetItem* item = picker().matchList->currentItem();
        return item ? item->text() : QString();
    }
};
} // namespace

class KeyPickerTest : public QObject {
    Q_OBJECT
private slots:
    void filterAsYouType();
    void arrowsAndEnterPasteIntoThePreviousWindow();
    void escapePastesNothing();
    void pasteByName();
};

void KeyPickerTest::filterAsYouType() {
    Picker p;
    p.pick(7);
    QVERIFY(p.picker().isVisible());
    // Every key of every category, with the first line of its text.
    QCOMPARE(p.rows(), (QStringList{"Other / addr  \u2014  12 Long Road", "Other / Signal  \u2014  beep",
                                    "Work / memo  \u2014  Yours", "Work / ref  \u2014  sig",
                                    "Work / sig  \u2014  Best regards"}));
    QCOMPARE(p.picker().countLabel->text(), QStringLiteral("5 keys"));
    // Names before texts, the name itself first; any case.
    p.type(QStringLiteral("SI"));
    QCOMPARE(p.rows(), (QStringList{"Other / Signal  \u2014  beep", "Work / sig  \u2014  Best regards",
                                    "Work / ref  \u2014  sig"}));
    p.type(QStringLiteral("g"));
    QCOMPARE(p.rows(), (QStringList{"Work / sig  \u2014  Best regards", "Other / Signal  \u2014  beep",
                                    "Work / ref  \u2014  sig"}));
    // A later line of a text counts; deleting widens the matches again.
    p.picker().filterField->clear();
    p.type(QStringLiteral("town"));
    QCOMPARE(p.rows(), QStringList{"Other / addr  \u2014  12 Long Road"});
    QCOMPARE(p.picker().countLabel->text(), QStringLiteral("1 key"));
    p.type(QStringLiteral("x"));
    QCOMPARE(p.rows(), QStringList());
    p.press(Qt::Key_Return); // nothing to choose: nothing happens
    QVERIFY(p.picker().isVisible());
    p.press(Qt::Key_Backspace);
    QCOMPARE(p.rows().size(), 1);

    // Opened again, the store as it is now, and an empty filter.
    p.store.key(QStringLiteral("Other"), QStringLiteral("new"), "fresh\r\n");
    p.pick(7);
    QVERIFY(p.picker().filterField->text().isEmpty());
    QCOMPARE(p.rows().size(), 6);
}

void KeyPickerTest::arrowsAndEnterPasteIntoThePreviousWindow() {
    Picker p;
    p.pick(7);
    p.fake.focus->focused = 0; // the picker has the focus now
    // Typing puts the choice on the best match: memo by its name, then addr by its text.
    p.press(Qt::Key_Down);
    p.type(QStringLiteral("o"));
    QCOMPARE(p.rows(), (QStringList{"Work / memo  \u2014  Yours", "Other / addr  \u2014  12 Long Road"}));
    QCOMPARE(p.currentRow(), p.rows().at(0));
    p.press(Qt::Key_Down);
    p.press(Qt::Key_Down); // past the last row it stays there
    QCOMPARE(p.currentRow(), p.rows().at(1));
    p.press(Qt::Key_Up);
    p.press(Qt::Key_Up);
    QCOMPARE(p.currentRow(), p.rows().at(0));
    p.press(Qt::Key_Return);
    QVERIFY(!p.picker().isVisible());
    // The comment left out, the placeholder filled, the focus back where the user was, one paste.
    QTRY_COMPARE(p.fake.keys->sent, QStringLiteral("^v"));
    QCOMPARE(p.fake.clipboard->current(), QStringLiteral("Yours\r\nJo, 12-08-2026"));
    QCOMPARE(p.fake.focus->given, QList<WindowFocus::WindowId>{7});

    // A text that names a key is pasted as it is: the trigger does not expand it again.
    p.pick(9);
    p.type(QStringLiteral("ref"));
    p.press(Qt::Key_Return);
    QTRY_COMPARE(p.fake.keys->sent, QStringLiteral("^v^v"));
    QTest::qWait(100);
    QCOMPARE(p.fake.keys->sent, QStringLiteral("^v^v"));
    QCOMPARE(p.fake.clipboard->current(), QStringLiteral("sig"));

    // A clipboard that will not take the text pastes nothing.
    p.fake.clipboard->refuseSet = true;
    p.pick(9);
    p.type(QStringLiteral("addr"));
    p.press(Qt::Key_Return);
    QTest::qWait(50);
    QCOMPARE(p.fake.keys->sent, QStringLiteral("^v^v"));
}

void KeyPickerTest::escapePastesNothing() {
    Picker p;
    p.fake.clipboard->copyFromOtherApp(QStringLiteral("the user's own"));
    p.pick(7);
    p.type(QStringLiteral("sig"));
    p.press(Qt::Key_Escape);
    QVERIFY(!p.picker().isVisible());
    QTest::qWait(50);
    QVERIFY(p.fake.keys->sent.isEmpty());
    QCOMPARE(p.fake.clipboard->current(), QStringLiteral("the user's own"));
    QCOMPARE(p.fake.focus->given, QList<WindowFocus::WindowId>{7});
}

void KeyPickerTest::pasteByName() {
    Picker p;
    // The current category, the name as a keyword is copied: case and spaces around it do not count.
    QCOMPARE(p.picker().pasteKey(QStringLiteral(" SIG "), QString()), QString());
    QCOMPARE(p.fake.clipboard->current(), QStringLiteral("Best regards"));
    QCOMPARE(p.fake.keys->sent, QStringLiteral("^v"));
    QCOMPARE(p.picker().pasteKey(QStringLiteral("addr"), QStringLiteral("other")), QString());
    QCOMPARE(p.fake.clipboard->current(), QStringLiteral("12 Long Road\r\nTown"));
    // Not in the current category, no such category: the reason, and nothing pasted.
    QCOMPARE(p.picker().pasteKey(QStringLiteral("addr"), QString()),
             QStringLiteral("there is no key \"addr\" in the category \"Work\""));
    QCOMPARE(p.picker().pasteKey(QStringLiteral("sig"), QStringLiteral("Nowhere")),
             QStringLiteral("there is no category \"Nowhere\""));
    QCOMPARE(p.fake.keys->sent, QStringLiteral("^v^v"));
    QVERIFY(p.fake.focus->given.isEmpty());
}

QTEST_MAIN(KeyPickerTest)
#include "KeyPickerTest.moc"
