#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

// The program's two pop-up menus: the tray menu, the user's way in while the window is put away, and
// the main menu of the "Menù" button. Both are built once, item by item in their fixed order, and
// live as long as the window that owns them.
//
// The key items (Keyw) and the category items (CatX) are item arrays: item 0 always exists, items 1
// and up are added while the window is in the tray and removed when it comes back. Each item carries
// its index, which is the row of its entry in the key list or the category selector when it was built.
class TrayMenus : public QObject {
    Q_OBJECT
public:
    explicit TrayMenus(QWidget* owner);
    ~TrayMenus() override;

    // A menu of a hundred thousand items would take seconds and hundreds of megabytes to build, and
    // nobody scrolls through it: the key submenu offers this many keys at most, then says where the
    // others are.
    static constexpr qsizetype kKeyItemsAtMost = 500;

    // Shows the key submenu with one item for each key, in order (up to kKeyItemsAtMost), or hides it
    // when there are none.
    void showKeyItems(const QStringList& keys);
    // Makes one category item for each category, in order.
    void showCategoryItems(const QStringList& categories);
    // Removes every item from 1 on; item 0 keeps its last caption.
    void removeKeyItems();
    void removeCategoryItems();
    // Marks the category item at the index and no other; -1 marks none.
    void markCategory(int index);
    // The marks of "Enabled" and "Disabled" follow the clipboard trigger's switch.
    void markEnabled(bool enabled);

    // The tray menu, top to bottom.
    QMenu* TrayBar;
    QMenu* Disponibili; // "Key Words"
    QList<QAction*> Keyw;
    QAction* moreKeys = nullptr; // "... more keys in the window", after the last key item when it is needed
    QMenu* CategorieDisp;        // "Categories"
    QList<QAction*> CatX;
    QAction* ln1;
    QAction* Mostra;
    QAction* Abilita;
    QAction* Disabilita;
    QAction* ln12;
    QAction* Data3;
    QAction* ln2;
    QAction* ChiudiMenu;
    QAction* Ln7;
    QAction* Fine;

    // The main menu, top to bottom.
    QMenu* Menu;
    QAction* Trasparente;
    QAction* PrimoPiano;
    QAction* ln3;
    QMenu* DateX; // "Date"
    QAction* Data1;
    QAction* Ora;
    QAction* Data2;
    QAction* Ln5;
    QAction* Google;
    QAction* Wikipedia;
    QAction* Ln6;
    QAction* Aiuto;

signals:
    void keyChosen(int index);
    void categoryChosen(int index);

private:
    using Chosen = void (TrayMenus::*)(int);
    void fill(QMenu* menu, QList<QAction*>& items, const QStringList& entries, Chosen chosen);
    QAction* addItem(QMenu* menu, QList<QAction*>& items, const QString& caption, Chosen chosen);
    static void removeFrom(QList<QAction*>& items);
};
