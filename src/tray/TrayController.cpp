#include "tray/TrayController.h"

#include "platform/Platform.h"
#include "store/KeyListBinding.h"
#include "tray/TrayMenus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QWidget>

namespace {
const QString kTrayTip = QStringLiteral("Wordwisp");
// How often the tray is looked for while the window is in it. A tray host that goes away takes the
// icon with it, and the window would be out of reach.
constexpr int kTrayWatchMs = 2000;
} // namespace

TrayController::TrayController(Controls controls, TrayMenus& menus, KeyListBinding& keyList, Platform& platform,
                               Hooks hooks, QObject* parent)
    : QObject(parent), m_ui(controls), m_menus(menus), m_keyList(keyList), m_platform(platform),
      m_hooks(std::move(hooks)), m_trayWatch(new QTimer(this)) {
    m_trayWatch->setInterval(kTrayWatchMs);
    connect(m_trayWatch, &QTimer::timeout, this, &TrayController::watchTray);
    connect(m_platform.tray.get(), &TrayIcon::clicked, this, &TrayController::trayIconClicked);
    connect(&m_menus, &TrayMenus::categoryChosen, this, &TrayController::CatX_Click);
    connect(m_menus.Mostra, &QAction::triggered, this, &TrayController::Mostra_Click);
    connect(m_menus.Abilita, &QAction::triggered, this, &TrayController::Abilita_Click);
    connect(m_menus.Disabilita, &QAction::triggered, this, &TrayController::Disabilita_Click);
    connect(m_menus.ChiudiMenu, &QAction::triggered, this, &TrayController::ChiudiMenu_Click);
}

QStringList TrayController::keyNames() const {
    QStringList names;
    names.reserve(m_ui.List1->count());
    for (int row = 0; row < m_ui.List1->count(); ++row)
        names.append(m_ui.List1->item(row)->text());
    return names;
}

QStringList TrayController::categoryNames() const {
    QStringList names;
    names.reserve(m_ui.Combo1->count());
    for (int i = 0; i < m_ui.Combo1->count(); ++i)
        names.append(m_ui.Combo1->itemText(i));
    return names;
}

void TrayController::markEnabled() {
    m_menus.markEnabled(m_ui.Check1->isChecked());
}

void TrayController::Label7_Click() {
    if (m_inTray)
        return;
    // Without a notification area the window would vanish with no icon to bring it back: it is
    // minimised instead, where the task bar or the window manager can reach it.
    if (!m_platform.tray->isAvailable()) {
        m_platform.dialogs->messageBox(
            QStringLiteral("There is no notification area (tray) on this desktop, so Wordwisp cannot hide there. "
                           "Its window is minimised instead."),
            BoxStyle::Information);
        if (m_hooks.minimise)
            m_hooks.minimise();
        return;
    }
    m_menus.showKeyItems(keyNames());
    m_menus.showCategoryItems(categoryNames());
    m_menus.markCategory(m_ui.Combo1->currentIndex());
    markEnabled();
    AddTrayIcon();
    m_inTray = true;
    m_trayWatch->start();
    MinimizeAndHide();
}

void TrayController::AddTrayIcon() {
    m_platform.tray->show(m_ui.Form1->windowIcon(), kTrayTip);
}

void TrayController::RemoveTrayIcon() {
    m_platform.tray->hide();
}

void TrayController::followLists() {
    // Outside the tray the items are made on the way in.
    if (!m_inTray)
        return;
    m_menus.removeKeyItems();
    m_menus.showKeyItems(keyNames());
    m_menus.removeCategoryItems();
    m_menus.showCategoryItems(categoryNames());
    m_menus.markCategory(m_ui.Combo1->currentIndex());
}

void TrayController::MinimizeAndHide() {
    if (m_ui.Form1->windowState() & Qt::WindowMinimized)
        return;
    m_ui.Form1->showMinimized();
    // Hidden as well, so that it has no task bar button either.
    m_ui.Form1->hide();
}

void TrayController::trayIconClicked(const QPoint& globalPos) {
    // The icon only exists while the window is in the tray; a late click after it came back is ignored.
    if (!m_inTray)
        return;
    // Opening the menu does not move the focus on every desktop, but the commands that paste must
    // find the window the user was in even where it does.
    m_previousWindow = m_platform.focus->foreignFocus();
    // A tray host that draws no menu itself leaves a Wayland compositor a plain window to place, which a
    // tiling one would stretch over half the screen; a window of fixed size is floated at its size.
    m_menus.TrayBar->setFixedSize(m_menus.TrayBar->sizeHint());
    m_menus.TrayBar->popup(globalPos);
}

void TrayController::Mostra_Click() {
    m_trayWatch->stop();
    m_menus.removeKeyItems();
    m_menus.removeCategoryItems();
    // Back whenever it is not on screen: a window manager that had not yet reported the window as
    // minimised must not leave it hidden for good.
    if (((m_ui.Form1->windowState() & Qt::WindowMinimized) || !m_ui.Form1->isVisible()) && m_hooks.showNormal)
        m_hooks.showNormal();
    // Raised and activated in any case: what Qt believes about the window's state can lag behind the
    // window manager's, and a window Qt counts as shown may still be iconic there.
    m_platform.effects->bringToFront(m_ui.Form1);
    RemoveTrayIcon();
    m_inTray = false;
}

void TrayController::CatX_Click(int index) {
    if (index < 0 || index >= m_ui.Combo1->count())
        return;
    m_menus.removeKeyItems();
    // Selecting the category runs the category switch, also for the category that is already current:
    // it lists the category's folder again, which is all that refilling the key list first would do.
    m_keyList.selectCategory(index);
    m_menus.showKeyItems(keyNames());
    m_menus.markCategory(m_ui.Combo1->currentIndex());
}

void TrayController::Abilita_Click() {
    m_ui.Check1->setChecked(true);
    markEnabled();
}

void TrayController::Disabilita_Click() {
    m_ui.Check1->setChecked(false);
    markEnabled();
}

void TrayController::ChiudiMenu_Click() {
    // Choosing any item closes the menu; this one does nothing else.
}

void TrayController::Label9_Click() {
    m_menus.Menu->popup(QCursor::pos());
}

void TrayController::watchTray() {
    if (m_inTray && !m_platform.tray->isAvailable())
        Mostra_Click();
}
