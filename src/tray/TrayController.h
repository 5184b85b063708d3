#pragma once

#include "platform/WindowFocus.h"

#include <QObject>
#include <QPoint>

#include <functional>

class KeyListBinding;
class QCheckBox;
class QComboBox;
class QListWidget;
class QTimer;
class QWidget;
class TrayMenus;
struct Platform;

// Putting the main window away into the tray and bringing it back, the tray icon's clicks, and the
// commands of the two pop-up menus that belong to neither the trigger nor the window: switching
// category from the tray, switching the trigger, and opening the main menu.
class TrayController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* Form1;
        QListWidget* List1;
        QComboBox* Combo1;
        QCheckBox* Check1;
    };
    struct Hooks {
        std::function<void()> minimise;   // what "-" does: where there is no tray, the window goes there
        std::function<void()> showNormal; // brings the window back in the normal state, out of full screen
    };

    TrayController(Controls controls, TrayMenus& menus, KeyListBinding& keyList, Platform& platform, Hooks hooks,
                   QObject* parent = nullptr);

    void Label7_Click();
    void MinimizeAndHide();
    // The icon was clicked (the button released over it): opens the tray menu at the pointer.
    void trayIconClicked(const QPoint& globalPos);
    void Mostra_Click();
    void CatX_Click(int index);
    void Abilita_Click();
    void Disabilita_Click();
    void ChiudiMenu_Click();
    void Label9_Click();
    // Takes the icon out of the tray; the shutdown calls it so that no dead icon stays behind.
    void RemoveTrayIcon();
    // The key list or the category selector changed while the window may be in the tray: the menu's
    // key and category items are made again from them.
    void followLists();

    bool inTray() const { return m_inTray; }
    // The other application's window that had the focus when the tray menu last opened; 0 if none.
    WindowFocus::WindowId previousWindow() const { return m_previousWindow; }

private:
    void AddTrayIcon();
    QStringList keyNames() const;
    QStringList categoryNames() const;
    void markEnabled();
    void watchTray();

    Controls m_ui;
    TrayMenus& m_menus;
    KeyListBinding& m_keyList;
    Platform& m_platform;
    Hooks m_hooks;
    QTimer* m_trayWatch;
    bool m_inTray = false;
    WindowFocus::WindowId m_previousWindow = 0;
};
