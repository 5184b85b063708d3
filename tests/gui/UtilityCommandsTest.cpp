// The title clock with the key counter, and the date commands of the main menu, at a fixed moment:
// 8 December 2026, 14:05:09.

#include "StoreWindow.h"
#include "app/WebShortcuts.h"
#include "app/WindowChrome.h"
#include "app/WindowOptions.h"
#include "platform/LabelButton.h"
#include "tray/TrayMenus.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

namespace {
struct Utility : StoreWindow {
    Utility() {
        store.catIni("Work\r\n");
        for (int i = 0; i < 12; ++i)
            store.key(QStringLiteral("Work"), QStringLiteral("k%1").arg(i, 2, 10, QLatin1Char('0')), "text\r\n");
        store.category(QStringLiteral("Empty"));
        open();
        window->show();
    }
    void tick() { window->OraAggiorna_Timer(); }
};
} // namespace

class UtilityCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void clockAndCounter();
    void captionOfMinimiseIsTakenBack();
    void dateCommands_data();
    void dateCommands();
    void windowOptionsFlipWithTheirMarks();
    void webItemsOpenTheirAddresses();
};

void UtilityCommandsTest::clockAndCounter() {
    Utility u;
    QVERIFY(u.window->OraAggiorna->isActive());
    QCOMPARE(u.window->OraAggiorna->interval(), 1000);
    u.tick();
    QCOMPARE(u.window->Label1->text(), QStringLiteral(" Wordwisp  | 12-08-2026 - 14:05:09 |"));
    QCOMPARE(u.window->Label12->text(), QStringLiteral("12"));
    u.fake.clock->moment = u.fake.clock->moment.addSecs(3600 * 10);
    u.window->keyList().selectCategory(u.window->Combo1->findText(QStringLiteral("Empty")));
    u.tick();
    QCOMPARE(u.window->Label1->text(), QStringLiteral(" Wordwisp  | 12-09-2026 - 00:05:09 |"));
    QCOMPARE(u.window->Label12->text(), QStringLiteral("0"));
}

void UtilityCommandsTest::captionOfMinimiseIsTakenBack() {
    Utility u;
    const QString dated = WindowChrome::minimisedCaption(u.fake.clock->moment);
    u.click(u.window->Label3);
    QTRY_VERIFY(u.window->windowState() & Qt::WindowMinimized);
    u.tick();
    QCOMPARE(u.window->windowTitle(), dated);
    u.window->showNormal();
    QTRY_COMPARE(u.window->windowState(), Qt::WindowNoState);
    u.tick();
    QCOMPARE(u.window->windowTitle(), QStringLiteral("Wordwisp"));
}

void UtilityCommandsTest::dateCommands_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("shown");
    const QString date =
        QStringLiteral("12-08-2026\r\nDate copied into memory. Make Paste or CTLR + V to copy elsewhere");
    QTest::newRow("date, 12-hour region") << "en_US"
                                          << "Data1"
                                          << "12-08-2026" << date;
    QTest::newRow("date, 24-hour region") << "de_DE"
                                          << "Data1"
                                          << "12-08-2026" << date;
    QTest::newRow("time, 12-hour region")
        << "en_US"
        << "Ora"
        << "2:05:09 PM"
        << "2:05:09 PM\r\nNow copied into memory. Make Paste or CTLR + V to copy elsewhere";
    QTest::newRow("time, 24-hour region")
        << "de_DE"
        << "Ora"
        << "14:05:09"
        << "14:05:09\r\nNow copied into memory. Make Paste or CTLR + V to copy elsewhere";
    // The clipboard takes the regional time, the message the fixed one.
    QTest::newRow("date and time, 12-hour region")
        << "en_US"
        << "Data2"
        << "12-08-2026 - 2:05:09 PM"
        << "12-08-2026 - 14:05:09\r\nDate and Time copied into memory. Make Paste or CTLR + V to copy elsewhere";
}

void UtilityCommandsTest::dateCommands() {
    QFETCH(QString, locale);
    QFETCH(QString, command);
    QFETCH(QString, clipboard);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    Utility u;
    u.window->keyList().selectKey(0);
    QVERIFY(u.window->Label6->isEnabled());
    const QStringList setsBefore = u.fake.clipboard->sets;
    u.window->menus().Menu->findChild<QAction*>(command)->trigger();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(u.fake.clipboard->current(), clipboard);
    QCOMPARE(u.fake.clipboard->sets, setsBefore + QStringList{clipboard});
    QCOMPARE(u.text(), shown);
    QVERIFY(!u.window->Label6->isEnabled());
    // Nothing the trigger knows: no paste goes out.
    QTest::qWait(30);
    QVERIFY(u.fake.keys->sent.isEmpty());
}

void UtilityCommandsTest::windowOptionsFlipWithTheirMarks() {
    for (int run = 0; run < 2; ++run) {
        // Every start begins with both off, whatever the last run left.
        Utility u;
        TrayMenus& m = u.window->menus();
        QCOMPARE(u.window->AAA->text(), QStringLiteral("0"));
        QCOMPARE(u.window->BBB->text(), QStringLiteral("0"));
        QVERIFY(!m.PrimoPiano->isChecked());
        QVERIFY(!m.Trasparente->isChecked());
        QVERIFY(!u.fake.effects->onTop);
        QCOMPARE(u.fake.effects->opacity, 1.0);
        const QRect geometry = u.window->geometry();

        const bool on[] = {true, false, true};
        for (const bool expected : on) {
            m.PrimoPiano->trigger();
            m.Trasparente->trigger();
            const QString flag = expected ? QStringLiteral("1") : QStringLiteral("0");
            QCOMPARE(u.window->AAA->text(), flag);
            QCOMPARE(u.window->BBB->text(), flag);
            QCOMPARE(m.PrimoPiano->isChecked(), expected);
            QCOMPARE(m.Trasparente->isChecked(), expected);
            QCOMPARE(u.fake.effects->onTop, expected);
            QCOMPARE(u.fake.effects->opacity, expected ? WindowOptions::kTranslucent : 1.0);
        }
        QCOMPARE(u.window->geometry(), geometry);

        // Through the tray and back both stay on, applied again to the window shown anew.
        u.fake.effects->onTop = false;
        u.click(u.window->Label7);
        m.Mostra->trigger();
        QVERIFY(u.fake.effects->onTop);
        QCOMPARE(u.fake.effects->opacity, WindowOptions::kTranslucent);
        QVERIFY(m.PrimoPiano->isChecked());
    }
}

void UtilityCommandsTest::webItemsOpenTheirAddresses() {
    Utility u;
    TrayMenus& m = u.window->menus();
    for (QAction* item : {m.Google, m.Wikipedia, m.Aiuto, m.Google})
        item->trigger();
    const QStringList& opened = u.fake.shell->opened;
    QCOMPARE(opened.size(), 4);
    QCOMPARE(opened.at(0), QStringLiteral("https://www.google.com/"));
    QCOMPARE(opened.at(1), QStringLiteral("https://en.wikipedia.org/"));
    QCOMPARE(opened.at(3), opened.at(0));
    const QUrl help(opened.at(2));
    QVERIFY2(help.isLocalFile() && QFileInfo(help.toLocalFile()).isFile(), qPrintable(opened.at(2)));
    QVERIFY(u.fake.dialogs->boxes.isEmpty());

    // Beside the executable first, then the installed tree; none there at all is said so.
    QTemporaryDir bin;
    QVERIFY(QDir(bin.path()).mkpath(QStringLiteral("help")));
    QFile page(bin.path() + QStringLiteral("/help/index.html"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    QCOMPARE(WebShortcuts::helpPageAddress(bin.path()), QUrl::fromLocalFile(page.fileName()).toString());
    QCOMPARE(WebShortcuts::helpPageCandidates(bin.path()).at(1),
             QDir::cleanPath(bin.path() + QStringLiteral("/../share/wordwisp/help/index.html")));
}

QTEST_MAIN(UtilityCommandsTest)
#include "UtilityCommandsTest.moc"
