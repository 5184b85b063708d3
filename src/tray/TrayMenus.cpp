#include "tray/TrayMenus.h"

#include <QAction>
#include <QLocale>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace {
QAction* command(QMenu* menu, const char* name, const QString& caption, bool markable = false) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    // A mark is set by the program, never by the click itself: each handler sets it from the state it
    // changed (an unmarked item that a click would tick is re-marked by its handler at once).
    action->setCheckable(markable);
    return action;
}

QAction* separator(QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* submenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name));
    return sub;
}
} // namespace

TrayMenus::TrayMenus(QWidget* owner) : QObject(owner) {
    TrayBar = new QMenu(QStringLiteral("Tray"), owner);
    TrayBar->setObjectName(QStringLiteral("TrayBar"));
    Disponibili = submenu(TrayBar, "Disponibili", QStringLiteral("Key Words"));
    addItem(Disponibili, Keyw, QStringLiteral("Key Word 1"), &TrayMenus::keyChosen);
    CategorieDisp = submenu(TrayBar, "CategorieDisp", QStringLiteral("Categories"));
    addItem(CategorieDisp, CatX, QStringLiteral("Category 1"), &TrayMenus::categoryChosen);
    ln1 = separator(TrayBar, "ln1");
    Mostra = command(TrayBar, "Mostra", QStringLiteral("In Focus..."));
    Abilita = command(TrayBar, "Abilita", QStringLiteral("Enabled"), true);
    Disabilita = command(TrayBar, "Disabilita", QStringLiteral("Disabled"), true);
    ln12 = separator(TrayBar, "ln12");
    Data3 = command(TrayBar, "Data3", QStringLiteral("Date and Time"));
    ln2 = separator(TrayBar, "ln2");
    ChiudiMenu = command(TrayBar, "ChiudiMenu", QStringLiteral("Close this menu"));
    Ln7 = separator(TrayBar, "Ln7");
    Fine = command(TrayBar, "Fine", QStringLiteral("Exit the program"));

    Menu = new QMenu(QStringLiteral("Menù"), owner);
    Menu->setObjectName(QStringLiteral("Menu"));
    Trasparente = command(Menu, "Trasparente", QStringLiteral("Transparent"), true);
    PrimoPiano = command(Menu, "PrimoPiano", QStringLiteral("Always on top"), true);
    ln3 = separator(Menu, "ln3");
    DateX = submenu(Menu, "DateX", QStringLiteral("Date"));
    Data1 = command(DateX, "Data1", QStringLiteral("Date"));
    Ora = command(DateX, "Ora", QStringLiteral("Time"));
    Data2 = command(DateX, "Data2", QStringLiteral("Date and Time"));
    Ln5 = separator(Menu, "Ln5");
    Google = command(Menu, "Google", QStringLiteral("Google..."));
    Wikipedia = command(Menu, "Wikipedia", QStringLiteral("Wikipedia..."));
    Ln6 = separator(Menu, "Ln6");
    Aiuto = command(Menu, "Aiuto", QStringLiteral("Help..."));
}

// The menus are the owner's children and go with it; nothing else to free.
TrayMenus::~TrayMenus() = default;

QAction* TrayMenus::addItem(QMenu* menu, QList<QAction*>& items, const QString& caption, Chosen chosen) {
    const int index = int(items.size());
    QAction* action = menu->addAction(caption);
    action->setData(index);
    items.append(action);
    connect(action, &QAction::triggered, this, [this, chosen, index] { emit(this->*chosen)(index); });
    return action;
}

void TrayMenus::fill(QMenu* menu, QList<QAction*>& items, const QStringList& entries, Chosen chosen) {
    for (int i = 0; i < entries.size(); ++i) {
        if (i >= items.size())
            addItem(menu, items, QString(), chosen);
        // An empty entry leaves the item's caption as it was.
        if (!entries.at(i).isEmpty())
            items.at(i)->setText(entries.at(i));
    }
}

void TrayMenus::showKeyItems(const QStringList& keys) {
    Disponibili->menuAction()->setVisible(!keys.isEmpty());
    delete std::exchange(moreKeys, nullptr);
    fill(Disponibili, Keyw, keys.first(std::min(keys.size(), kKeyItemsAtMost)), &TrayMenus::keyChosen);
    if (keys.size() > kKeyItemsAtMost) {
        moreKeys = Disponibili->addAction(
            QStringLiteral("... %1 more keys in the window").arg(QLocale().toString(keys.size() - kKeyItemsAtMost)));
        moreKeys->setEnabled(false);
    }
}

void TrayMenus::showCategoryItems(const QStringList& categories) {
    fill(CategorieDisp, CatX, categories, &TrayMenus::categoryChosen);
    // With no category at all, item 0 would offer a category that does not exist under its old caption.
    CatX.first()->setVisible(!categories.isEmpty());
}

void TrayMenus::removeFrom(QList<QAction*>& items) {
    while (items.size() > 1)
        delete items.takeLast();
}

void TrayMenus::removeKeyItems() {
    delete std::exchange(moreKeys, nullptr);
    removeFrom(Keyw);
}

void TrayMenus::removeCategoryItems() {
    removeFrom(CatX);
}

void TrayMenus::markCategory(int index) {
    for (int i = 0; i < CatX.size(); ++i) {
        CatX.at(i)->setCheckable(i == index);
        CatX.at(i)->setChecked(i == index);
    }
}

void TrayMenus::markEnabled(bool enabled) {
    Abilita->setChecked(enabled);
    Disabilita->setChecked(!enabled);
}
