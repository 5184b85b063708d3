// The tray and the two pop-up menus, and the commands that paste from the tray, driven through the main
// window with the fake platform: the user puts the window away, opens the tray menu and chooses.

#include "StoreWindow.h"
#include "expand/ClipboardTrigger.h"
#include "expand/DirectInsertion.h"
#include "platform/LabelButton.h"
#include "tray/TrayController.h"
#include "tray/TrayMenus.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QTimer>

namespace {
// Longer than the one second between choosing a key and its paste.
constexpr int kPasteWaitMs = 1400;

// The menu as the user sees it, one row an item: "-" for a separator, "caption >" for a submenu,
// "[x] caption" or "[ ] caption" for an item that can carry a mark; hidden items are left out.
QStringList rows(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) {
        if (!a->isVisible())
            continue;
        if (a->isSeparator())
            out << QStringLiteral("-");
        else if (a->menu())
            out << a->text() + QStringLiteral(" >");
        else if (a->isCheckable())
            out << (a->isChecked() ? QStringLiteral("[x] ") : QStringLiteral("[ ] ")) + a->text();
        else
            out << a->text();
    }
    return out;
}

struct Tray : StoreWindow {
    Tray() {
        store.catIni("Work\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("sig"), "Best regards\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("memo"), "Yours\r\n*/ note\r\nJo\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("greet"), "Yours\r\n");
        store.key(QStringLiteral("Work"), QStringLiteral("Yours"), "a key named like greet's text\r\n");
        store.key(QStringLiteral("Alpha"), QStringLiteral("a1"), "first\r\n");
        store.category(QStringLiteral("Empty"));
        open();
        window->show();
        QTest::qWait(20);
    }
    TrayMenus& menus() { return window->menus(); }
    void toTray() { click(window->Label7); }
    void choose(QAction* action) { action->trigger(); }
    void chooseKey(const QString& name) {
        for (QAction* item : menus().Keyw) {
            if (item->text() == name && item->isVisible())
                return choose(item);
        }
        QFAIL(qPrintable(QStringLiteral("no key item ") + name));
    }
    QStringList keyRows() { return rows(menus().Disponibili); }
    QStringList categoryRows() { return rows(menus().CategorieDisp); }
    bool keySubmenuShown() { return menus().Disponibili->menuAction()->isVisible(); }
};
} // namespace

class TrayTest : public QObject {
    Q_OBJECT
private slots:
    void menusHaveTheirTrees();
    void toTheTrayAndBack();
    void keyItemsFollowTheCategory();
    void longKeyListIsCutShortInTheMenu();
    void oneCategoryMarkedAfterSwitches();
    void enabledAndDisabledSetTheTrigger();
    void closeThisMenuChangesNothing();
    void chosenKeyIsPastedOnce_data();
    void chosenKeyIsPastedOnce();
    void dateAndTimeGoesToThePreviousWindow();
    void copyTakesTheWholeEditorText();
    void withoutATrayTheWindowStaysReachable();
    void exitFromTheTrayRemovesTheIcon();
};

void TrayTest::menusHaveTheirTrees() {
    Tray t;
    t.toTray();
    QCOMPARE(rows(t.menus().TrayBar),
             (QStringList{"Key Words >", "Categories >", "-", "In Focus...", "[x] Enabled", "[ ] Disabled", "-",
                          "Date and Time", "-", "Close this menu", "-", "Exit the program"}));
    QCOMPARE(rows(t.menus().Menu), (QStringList{"[ ] Transparent", "[ ] Always on top", "-", "Date >", "-", "Google...",
                                                "Wikipedia...", "-", "Help..."}));
    QCOMPARE(rows(t.menus().DateX), (QStringList{"Date", "Time", "Date and Time"}));

    // "Menù" opens the main menu; the tray menu opens only from the icon of a window in the tray.
    t.click(t.window->Label9);
    QVERIFY(t.menus().Menu->isVisible());
    t.menus().Menu->hide();
}

void TrayTest::toTheTrayAndBack() {
    Tray t;
    emit t.fake.tray->clicked(QPoint(5, 5));
    QVERIFY(!t.menus().TrayBar->isVisible());

    t.fake.focus->focused = 42;
    t.toTray();
    QVERIFY(t.window->isHidden());
    QVERIFY(t.fake.tray->visible);
    QCOMPARE(t.fake.tray->toolTip, QStringLiteral("Wordwisp"));
    emit t.fake.tray->clicked(QPoint(5, 5));
    QTRY_VERIFY(t.menus().TrayBar->isVisible());
    QCOMPARE(t.window->tray().previousWindow(), WindowFocus::WindowId(42));
    t.menus().TrayBar->hide();

    // A second "*" would add a second icon; it cannot be clicked while hidden, but a queued click must
    // change nothing either.
    t.toTray();
    QCOMPARE(t.fake.tray->shows, 1);

    t.choose(t.menus().Mostra);
    QVERIFY(t.window->isVisible());
    QVERIFY(!(t.window->windowState() & Qt::WindowMinimized));
    QVERIFY(!t.fake.tray->visible);
    QCOMPARE(t.menus().Keyw.size(), 1);
    QCOMPARE(t.menus().CatX.size(), 1);
    // The window's own mouse movements and a late click of the icon open nothing.
    emit t.fake.tray->clicked(QPoint(5, 5));
    QVERIFY(!t.menus().TrayBar->isVisible());

    // From full screen, the window comes back in the normal state.
    t.click(t.window->Label13);
    QTRY_VERIFY(t.window->windowState() & Qt::WindowMaximized);
    t.toTray();
    t.choose(t.menus().Mostra);
    QTRY_COMPARE(t.window->windowState(), Qt::WindowNoState);
    QVERIFY(t.window->isVisible());

    // A tray host that goes away while the window is in the tray gives the window back.
    t.toTray();
    t.fake.tray->available = false;
    QTRY_VERIFY_WITH_TIMEOUT(t.window->isVisible(), 5000);
    QVERIFY(!t.window->tray().inTray());
}

void TrayTest::keyItemsFollowTheCategory() {
    Tray t;
    t.toTray();
    QCOMPARE(t.keyRows(), (QStringList{"greet", "memo", "sig", "Yours"}));
    QCOMPARE(t.categoryRows(), (QStringList{"Alpha", "Empty", "[x] Work"}));

    // Categories from the tray: the empty one hides "Key Words", the next shows only its own keys.
    t.choose(t.menus().CatX.at(1));
    QCOMPARE(t.window->Combo1->currentText(), QStringLiteral("Empty"));
    QVERIFY(!t.keySubmenuShown());
    t.choose(t.menus().CatX.at(0));
    QVERIFY(t.keySubmenuShown());
    QCOMPARE(t.keyRows(), QStringList{"a1"});
    QCOMPARE(t.categoryRows(), (QStringList{"[x] Alpha", "Empty", "Work"}));
    QVERIFY(t.window->isHidden());
    QVERIFY(t.fake.tray->visible);

    // Back and away again with the empty category current: no "Key Words" at all.
    t.choose(t.menus().CatX.at(1));
    t.choose(t.menus().Mostra);
    QCOMPARE(t.menus().Keyw.first()->text(), QStringLiteral("a1"));
    t.toTray();
    QVERIFY(!t.keySubmenuShown());
}

void TrayTest::longKeyListIsCutShortInTheMenu() {
    StoreWindow w;
    w.store.catIni("Many\r\n");
    const qsizetype keys = TrayMenus::kKeyItemsAtMost + 2;
    const auto name = [](qsizetype i) { return QStringLiteral("k%1").arg(i, 4, 10, QLatin1Char('0')); };
    for (qsizetype i = 0; i < keys; ++i)
        w.store.key(QStringLiteral("Many"), name(i), "text of " + name(i).toUtf8());
    w.open();
    w.window->show();
    TrayMenus& menus = w.window->menus();
    for (int away = 0; away < 2; ++away) {
        w.click(w.window->Label7);
        const QStringList shown = rows(menus.Disponibili);
        QCOMPARE(shown.size(), TrayMenus::kKeyItemsAtMost + 1);
        QCOMPARE(shown.at(TrayMenus::kKeyItemsAtMost - 1), QStringLiteral("k0499"));
        QCOMPARE(shown.last(), QStringLiteral("... 2 more keys in the window"));
        // A key item still pastes its own key.
        menus.Keyw.at(7 + away)->trigger();
        QTRY_COMPARE(w.fake.clipboard->current(), "text of " + name(7 + away));
        menus.Mostra->trigger();
        QCOMPARE(rows(menus.Disponibili).size(), 1);
    }
}

void TrayTest::oneCategoryMarkedAfterSwitches() {
    Tray t;
    t.window->keyList().selectCategory(0);
    t.toTray();
    QCOMPARE(t.categoryRows(), (QStringList{"[x] Alpha", "Empty", "Work"}));
    t.choose(t.menus().Mostra);
    t.window->keyList().selectCategory(2);
    t.toTray();
    QCOMPARE(t.categoryRows(), (QStringList{"Alpha", "Empty", "[x] Work"}));
    // Choosing the current category again keeps its mark on.
    t.choose(t.menus().CatX.at(2));
    QCOMPARE(t.categoryRows(), (QStringList{"Alpha", "Empty", "[x] Work"}));
    QCOMPARE(t.keyRows(), (QStringList{"greet", "memo", "sig", "Yours"}));
}

void TrayTest::enabledAndDisabledSetTheTrigger() {
    Tray t;
    t.toTray();
    t.choose(t.menus().Disabilita);
    QVERIFY(!t.window->Check1->isChecked());
    QVERIFY(!t.window->trigger().isOn());
    QVERIFY(!t.menus().Abilita->isChecked());
    QVERIFY(t.menus().Disabilita->isChecked());
    // Choosing the marked item again must not take its mark away.
    t.choose(t.menus().Disabilita);
    QVERIFY(t.menus().Disabilita->isChecked());

    t.choose(t.menus().Abilita);
    QVERIFY(t.window->Check1->isChecked());
    QVERIFY(t.window->trigger().isOn());
    QCOMPARE(rows(t.menus().TrayBar).mid(4, 2), (QStringList{"[x] Enabled", "[ ] Disabled"}));

    // Marks are read from the box each time the window goes to the tray.
    t.choose(t.menus().Mostra);
    t.window->Check1->setChecked(false);
    t.toTray();
    QCOMPARE(rows(t.menus().TrayBar).mid(4, 2), (QStringList{"[ ] Enabled", "[x] Disabled"}));
}

void TrayTest::closeThisMenuChangesNothing() {
    Tray t;
    t.toTray();
    const QStringList before = rows(t.menus().TrayBar) + t.keyRows() + t.categoryRows();
    const QString clipboard = t.fake.clipboard->current();
    t.choose(t.menus().ChiudiMenu);
    QCOMPARE(rows(t.menus().TrayBar) + t.keyRows() + t.categoryRows(), before);
    QVERIFY(t.window->isHidden());
    QVERIFY(t.fake.tray->visible);
    QCOMPARE(t.fake.clipboard->current(), clipboard);
    QVERIFY(t.fake.keys->sent.isEmpty());
}

void TrayTest::chosenKeyIsPastedOnce_data() {
    QTest::addColumn<bool>("triggerOn");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("pasted");
    QTest::newRow("trigger running") << true << "memo"
                                     << "Yours\r\nJo";
    QTest::newRow("trigger stopped") << false << "memo"
                                     << "memo";
    // The last expansion left "Yours" on the clipboard; choosing the key of that name still expands it.
    QTest::newRow("name equal to the last expansion") << true << "Yours"
                                                      << "a key named like greet's text";
}

void TrayTest::chosenKeyIsPastedOnce() {
    QFETCH(bool, triggerOn);
    QFETCH(QString, key);
    QFETCH(QString, pasted);
    Tray t;
    if (key == QLatin1String("Yours")) {
        t.fake.clipboard->copyFromOtherApp(QStringLiteral("greet"));
        QTRY_COMPARE(t.fake.clipboard->current(), QStringLiteral("Yours"));
        QTRY_COMPARE(t.fake.keys->sent, QStringLiteral("^v"));
        t.fake.keys->sent.clear();
    }
    t.toTray();
    if (!triggerOn)
        t.choose(t.menus().Disabilita);

    t.chooseKey(key);
    QVERIFY(t.window->Passa->isActive());
    QTest::qWait(200);
    QVERIFY2(t.fake.keys->sent.isEmpty(), "nothing is pasted before the second is up");
    QCOMPARE(t.fake.clipboard->current(), pasted);

    QTRY_COMPARE_WITH_TIMEOUT(t.fake.keys->sent, QStringLiteral("^v"), kPasteWaitMs);
    QVERIFY(!t.window->Passa->isActive());
    QTest::qWait(100);
    QCOMPARE(t.fake.keys->sent, QStringLiteral("^v"));
    QCOMPARE(t.fake.clipboard->current(), pasted);

    // A clipboard held by another program pastes nothing, rather than whatever it held before.
    t.fake.clipboard->refuseSet = true;
    t.chooseKey(QStringLiteral("sig"));
    QVERIFY(!t.window->Passa->isActive());
    QTest::qWait(kPasteWaitMs);
    QCOMPARE(t.fake.keys->sent, QStringLiteral("^v"));
}

void TrayTest::dateAndTimeGoesToThePreviousWindow() {
    Tray t;
    // Regional settings that would write the date their own way.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    t.fake.focus->focused = 7;
    t.toTray();
    emit t.fake.tray->clicked(QPoint(5, 5));
    t.menus().TrayBar->hide();
    t.fake.focus->focused = 99; // the menu took the focus elsewhere

    t.choose(t.menus().Data3);
    QTRY_COMPARE(t.fake.keys->sent, QStringLiteral("^v"));
    QCOMPARE(t.fake.clipboard->current(), QStringLiteral("12-08-2026 - 14:05:09"));
    QCOMPARE(t.fake.focus->given, QList<WindowFocus::WindowId>{7});
    QCOMPARE(t.fake.focus->focused, WindowFocus::WindowId(7));
    QCOMPARE(DirectInsertion::dateAndTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))),
             QStringLiteral("01-02-2026 - 03:04:05"));
    QLocale::setDefault(QLocale::c());

    // The window has closed meanwhile: the date goes where the focus is.
    t.fake.focus->gone = 7;
    t.choose(t.menus().Data3);
    QTRY_COMPARE(t.fake.keys->sent, QStringLiteral("^v^v"));
    // Nor is anything pasted when the clipboard would not take the date.
    t.fake.clipboard->refuseSet = true;
    t.choose(t.menus().Data3);
    QTest::qWait(50);
    QCOMPARE(t.fake.keys->sent, QStringLiteral("^v^v"));
}

void TrayTest::copyTakesTheWholeEditorText() {
    Tray t;
    t.window->keyList().selectKey(1); // memo
    t.click(t.window->Label14);
    QCOMPARE(t.fake.clipboard->current(), t.window->Text2->text());
    QCOMPARE(t.fake.clipboard->current(), QStringLiteral("Yours\r\n*/ note\r\nJo"));
    QCOMPARE(t.window->Text2->textCursor().selectedText().size(), t.window->Text2->toPlainText().size());
    QVERIFY(t.fake.keys->sent.isEmpty());
}

void TrayTest::withoutATrayTheWindowStaysReachable() {
    Tray t;
    t.fake.tray->available = false;
    t.toTray();
    QVERIFY(!t.window->isHidden());
    QVERIFY(t.window->windowState() & Qt::WindowMinimized);
    QVERIFY(!t.fake.tray->visible);
    QVERIFY(!t.window->tray().inTray());
    QCOMPARE(t.fake.dialogs->boxes.size(), 1);
    QCOMPARE(t.fake.dialogs->boxes.first().style, BoxStyle::Information);
    QVERIFY(t.fake.dialogs->boxes.first().text.contains(QStringLiteral("minimised")));
}

void TrayTest::exitFromTheTrayRemovesTheIcon() {
    Tray t;
    t.window->keyList().selectCategory(0);
    t.toTray();
    t.choose(t.menus().Fine);
    QCOMPARE(t.fake.shell->ended, 1);
    QVERIFY(!t.fake.tray->visible);
    QCOMPARE(t.store.bytes(QStringLiteral("Cat.ini")), QByteArray("Alpha\r\n"));
}

QTEST_MAIN(TrayTest)
#include "TrayTest.moc"
