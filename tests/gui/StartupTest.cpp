// Start-up, the key list, the category switch and the orderly exit, driven through the main window with
// the fake platform and a throw-away store.

#include "TestStore.h"
#include "app/MainWindow.h"
#include "app/WelcomeText.h"
#include "platform/LabelButton.h"
#include "platform/fake/FakePlatform.h"
#include "store/KeyEditor.h"
#include "store/KeyListBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

const QString kMissingCategoryBox =
    QStringLiteral("Sorry, there is an error. Created the category 'General' to solve the problem.");

QStringList items(const QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

QStringList items(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QString welcome() {
    QString text;
    for (const QString& line : WelcomeText::lines(QStringLiteral("2026")))
        text += line + QStringLiteral("\r\n");
    return text;
}

// A store with Alpha, Generale and Work; Work holds three keys.
void standardStore(const TestStore& store) {
    store.category(QStringLiteral("Alpha"));
    store.category(QStringLiteral("Generale"));
    store.key(QStringLiteral("Work"), QStringLiteral("sig"), "Best regards,\r\nJo\r\n");
    store.key(QStringLiteral("Work"), QStringLiteral("Addr"), "1 Main Street");
    store.key(QStringLiteral("Work"), QStringLiteral("dear"), "Dear Sir,\r\n*/ formal\r\nRegards");
    store.key(QStringLiteral("Alpha"), QStringLiteral("a1"), "first\r\nsecond\r\nthird");
    store.key(QStringLiteral("Alpha"), QStringLiteral("empty"));
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void storedCategoryIsSelectedQuietly();
    void welcomeTextAndTitle();
    void missingCatIniCreatesGenerale();
    void deletedStoredCategoryListsGeneraleTwice();
    void missingStoreRootIsCreatedFirst();
    void categorySwitchListsKeysAndLeavesCatIni();
    void categorySwitchToEmptyCategoryShowsWelcome();
    void categorySwitchTurnsTriggerOnWhileUnchecked();
    void keySelectionLoadsText();
    void keyFilesFromElsewhereLoad();
    void noCategoryListsNoKeys();
    void largeCategoryIsListedInOrderAndExpandsAtOnce();
    void exitWritesCatIni();
    void exitRefusedWithoutCategory();

private:
    MainWindow& start();

    std::unique_ptr<TestStore> m_store;
    std::unique_ptr<FakePlatform> m_fake;
    std::unique_ptr<MainWindow> m_window;
};

void StartupTest::init() {
    m_store = std::make_unique<TestStore>();
    m_fake = std::make_unique<FakePlatform>();
}

void StartupTest::cleanup() {
    m_window.reset();
    m_fake.reset();
    m_store.reset();
}

MainWindow& StartupTest::start() {
    m_window = std::make_unique<MainWindow>(m_fake->platform(), StorePaths(m_store->appFolder()));
    return *m_window;
}

void StartupTest::storedCategoryIsSelectedQuietly() {
    standardStore(*m_store);
    m_store->catIni("Work\r\n");
    m_fake->clipboard->copyFromOtherApp(QStringLiteral("sig"));
    MainWindow& w = start();

    QVERIFY(m_fake->dialogs->boxes.isEmpty());
    QCOMPARE(items(w.Combo1), (QStringList{"Alpha", "Generale", "Work"}));
    QCOMPARE(w.Combo1->currentText(), QStringLiteral("Work"));
    QCOMPARE(items(w.List1), (QStringList{"Addr", "dear", "sig"}));
    QVERIFY(w.List1->selectedItems().isEmpty());
    QCOMPARE(w.keyList().selectedKey(), QString());
    // Text copied before the start is never taken for a keyword.
    QCOMPARE(m_fake->clipboard->current(), QString());
    QVERIFY(m_fake->clipboard->clears >= 1);
    QCOMPARE(w.Text1->text(), QString());
    QVERIFY(w.Timer1->isActive());
}

void StartupTest::welcomeTextAndTitle() {
    standardStore(*m_store);
    m_store->catIni("Work\r\n");
    MainWindow& w = start();
    QCOMPARE(w.Text2->text(), welcome());
    QVERIFY(w.Text2->text().endsWith(QStringLiteral("\r\n\r\nReady.\r\n")));
    QVERIFY(w.Text2->caretAtEnd());
    const QStringList lines = w.Text2->text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 15); // fourteen lines, each ended
    QVERIFY(lines[1].endsWith(QStringLiteral("2026")));
    QCOMPARE(lines[3], QString());
    QCOMPARE(lines[6], QString());
    QCOMPARE(lines[12], QString());
    QCOMPARE(w.Label1->text(), QStringLiteral(" Wordwisp  | 12-08-2026 - 14:05:09 |"));
    QCOMPARE(w.width(), 492);
    QCOMPARE(w.height(), 363);
}

void StartupTest::missingCatIniCreatesGenerale() {
    m_store->category(QStringLiteral("Alpha"));
    m_store->category(QStringLiteral("Work"));
    MainWindow& w = start();

    QCOMPARE(m_fake->dialogs->boxes.size(), 1);
    QCOMPARE(m_fake->dialogs->boxes[0].text, kMissingCategoryBox);
    QCOMPARE(m_fake->dialogs->boxes[0].style, 64);
    QCOMPARE(m_fake->dialogs->boxes[0].title, QStringLiteral("Wordwisp"));
    QVERIFY(QFileInfo(m_store->path(QStringLiteral("Generale"))).isDir());
    QCOMPARE(items(w.Combo1), (QStringList{"Alpha", "Work", "Generale"}));
    QCOMPARE(w.Combo1->currentIndex(), 2);
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.Text2->text(), welcome());
    QVERIFY(!m_store->exists(QStringLiteral("Cat.ini"))); // written only at exit
}

void StartupTest::deletedStoredCategoryListsGeneraleTwice() {
    m_store->category(QStringLiteral("Generale"));
    m_store->key(QStringLiteral("Generale"), QStringLiteral("g"), "gee");
    m_store->category(QStringLiteral("Work"));
    m_store->catIni("Old\r\n");
    MainWindow& w = start();

    QCOMPARE(m_fake->dialogs->boxes.size(), 1);
    QCOMPARE(items(w.Combo1), (QStringList{"Generale", "Work", "Generale"}));
    QCOMPARE(w.Combo1->currentIndex(), 0);
    QCOMPARE(items(w.List1), QStringList{"g"});
    QCOMPARE(m_store->bytes(QStringLiteral("Generale/g")), QByteArray("gee"));
}

void StartupTest::missingStoreRootIsCreatedFirst() {
    QVERIFY(QDir(m_store->root()).removeRecursively());
    MainWindow& w = start();
    // The message promises a created category: it must really be there.
    QCOMPARE(m_fake->dialogs->boxes.size(), 1);
    QVERIFY(QFileInfo(m_store->path(QStringLiteral("Generale"))).isDir());
    QCOMPARE(items(w.Combo1), QStringList{"Generale"});
    QCOMPARE(w.Combo1->currentText(), QStringLiteral("Generale"));
}

void StartupTest::categorySwitchListsKeysAndLeavesCatIni() {
    standardStore(*m_store);
    m_store->catIni("Work\r\n");
    MainWindow& w = start();

    w.keyList().selectCategory(w.Combo1->findText(QStringLiteral("Alpha")));
    QCOMPARE(items(w.List1), (QStringList{"a1", "empty"}));
    // The refresh selects the first key and shows its text.
    QCOMPARE(w.List1->currentRow(), 0);
    QCOMPARE(w.Text2->text(), QStringLiteral("first\r\nsecond\r\nthird"));
    QCOMPARE(m_store->bytes(QStringLiteral("Cat.ini")), QByteArray("Work\r\n"));

    // The user's own choice runs the same switch.
    emit w.Combo1->activated(w.Combo1->findText(QStringLiteral("Work")));
    w.Combo1->setCurrentIndex(w.Combo1->findText(QStringLiteral("Work")));
    w.keyList().Combo1_Click();
    QCOMPARE(items(w.List1), (QStringList{"Addr", "dear", "sig"}));
    QCOMPARE(w.Text2->text(), QStringLiteral("1 Main Street"));
}

void StartupTest::categorySwitchToEmptyCategoryShowsWelcome() {
    standardStore(*m_store);
    m_store->catIni("Work\r\n");
    MainWindow& w = start();
    w.keyList().selectCategory(w.Combo1->findText(QStringLiteral("Generale")));
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.Text2->text(), welcome());
}

void StartupTest::categorySwitchTurnsTriggerOnWhileUnchecked() {
    standardStore(*m_store);
    m_store->catIni("Work\r\n");
    MainWindow& w = start();
    w.Check1->setChecked(false);
    w.Timer1->stop();
    w.keyList().selectCategory(w.Combo1->findText(QStringLiteral("Alpha")));
    QVERIFY(w.Timer1->isActive());
    QVERIFY(!w.Check1->isChecked());
}

void StartupTest::keySelectionLoadsText() {
    standardStore(*m_store);
    m_store->catIni("Alpha\r\n");
    MainWindow& w = start();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // The user's click: three lines without a final line end.
    QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {}, w.List1->visualItemRect(w.List1->item(0)).center());
    QCOMPARE(w.Text2->text(), QStringLiteral("first\r\nsecond\r\nthird"));
    QVERIFY(w.Text2->hasFocus());
    QVERIFY(w.Text2->caretAtEnd());

    w.List1->setFocus();
    QTest::keyClick(w.List1, Qt::Key_Down); // an empty key: empty text, focus stays where it was
    QCOMPARE(w.Text2->text(), QString());
    QVERIFY(w.List1->hasFocus());
}

void StartupTest::keyFilesFromElsewhereLoad() {
    m_store->key(QStringLiteral("Win"), QStringLiteral("cafe"), "caf\xe9\r\n");
    m_store->key(QStringLiteral("Win"), QStringLiteral("lf"), "a\nb\n");
    m_store->key(QStringLiteral("Win"), QStringLiteral("   "), "blank name");
    m_store->catIni("Win\r\n");
    MainWindow& w = start();
    QCOMPARE(items(w.List1), (QStringList{"cafe", "lf"})); // a blank name is no key
    w.keyList().selectKey(0);
    QCOMPARE(w.Text2->text(), QStringLiteral("café"));
    w.keyList().selectKey(1);
    QCOMPARE(w.Text2->text(), QStringLiteral("a\nb\n"));
}

void StartupTest::noCategoryListsNoKeys() {
    standardStore(*m_store);
    m_store->catIni("Work\r\n");
    m_store->file(QStringLiteral("stray.txt"), "not a key");
    MainWindow& w = start();
    w.Combo1->setCurrentIndex(-1);
    w.keyList().Combo1_Click();
    // The store root's own files are no keys.
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.Text2->text(), welcome());
}

void StartupTest::largeCategoryIsListedInOrderAndExpandsAtOnce() {
    // More keys than the list measures one by one, with names in mixed case, a dot, a space inside,
    // letters beyond ASCII and names that differ only in case.
    QStringList names;
    for (int i = 0; i < 3000; ++i)
        names << QStringLiteral("%1key%2").arg(QLatin1String(i % 3 ? "b" : "B")).arg(i * 7919 % 3001);
    names << QStringLiteral("Éclair") << QStringLiteral("eclair") << QStringLiteral("a.b c") << QStringLiteral("zz");
    for (const QString& name : std::as_const(names))
        m_store->key(QStringLiteral("Big"), name, "text of " + name.toUtf8());
    m_store->category(QStringLiteral("Alpha"));
    m_store->catIni("Big\r\n");
    MainWindow& w = start();

    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    QCOMPARE(items(w.List1), sorted);
    // The start-up lists the category twice; it ends with no key selected, as with a small one.
    QVERIFY(w.List1->selectedItems().isEmpty());
    QCOMPARE(w.Text2->text(), welcome());

    // The last key expands as soon as the window is there; of two names that differ in case only,
    // each opens its own file.
    m_fake->clipboard->copyFromOtherApp(QStringLiteral("ZZ"));
    QTRY_COMPARE(m_fake->clipboard->current(), QStringLiteral("text of zz"));
    QCOMPARE(m_fake->keys->sent, QStringLiteral("^v"));
    w.keyList().selectKey(int(sorted.indexOf(QStringLiteral("eclair"))));
    QCOMPARE(w.Text2->text(), QStringLiteral("text of eclair"));
}

void StartupTest::exitWritesCatIni() {
    standardStore(*m_store);
    m_store->catIni("Alpha\r\n");
    MainWindow& w = start();
    w.keyList().selectCategory(w.Combo1->findText(QStringLiteral("Work")));
    QCOMPARE(m_store->bytes(QStringLiteral("Cat.ini")), QByteArray("Alpha\r\n"));
    w.Fine_Click();
    QCOMPARE(m_store->bytes(QStringLiteral("Cat.ini")), QByteArray("Work\r\n"));
    QCOMPARE(m_fake->shell->ended, 1);
    QCOMPARE(m_store->entries(), (QStringList{"Alpha", "Cat.ini", "Generale", "Work"}));
}

void StartupTest::exitRefusedWithoutCategory() {
    standardStore(*m_store);
    m_store->catIni("Work\r\n");
    MainWindow& w = start();
    w.show();
    w.Combo1->setCurrentIndex(-1);
    int cancel = 0;
    w.Form_Unload(cancel);
    QVERIFY(cancel != 0);
    QCOMPARE(m_fake->dialogs->boxes.size(), 1);
    QCOMPARE(m_fake->dialogs->boxes[0].text, QStringLiteral("Before exiting, select a category"));
    QCOMPARE(m_fake->dialogs->boxes[0].style, 64);
    QCOMPARE(m_fake->shell->ended, 0);
    QCOMPARE(m_store->bytes(QStringLiteral("Cat.ini")), QByteArray("Work\r\n"));

    w.close(); // the window's own close request is refused the same way
    QVERIFY(w.isVisible());
    QCOMPARE(m_fake->dialogs->boxes.size(), 2);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
