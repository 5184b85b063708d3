#pragma once

#include "store/StorePaths.h"

#include <QPointer>
#include <QWidget>

class CategoryManager;
class DirectInsertion;
class KeyEditing;
class KeyPicker;
class ClipboardTrigger;
class KeyEditor;
class KeyListBinding;
class LiveStore;
class LabelButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;
class TitleClock;
class WindowOptions;
class TrayController;
class TrayMenus;
class WindowChrome;
struct Platform;

// The main window. It owns the controls under the names the program has always used and wires the
// subsystems to them; the behaviour itself lives in the subsystems.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(Platform& platform, const StorePaths& paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    void ShowWelcomeText();
    // Asks the window to unload; cancel is set nonzero when the request is refused.
    void Form_Unload(int& cancel);
    void Fine_Click();
    void Label11_Click();
    void CreaCAT_Timer();
    void OraAggiorna_Timer();
    // Shows the window in front, out of the tray or the task bar: what a second start of the program asks.
    void bringBack();

    KeyListBinding& keyList() { return *m_keyList; }
    ClipboardTrigger& trigger() { return *m_trigger; }
    TrayMenus& menus() { return *m_menus; }
    TrayController& tray() { return *m_tray; }
    DirectInsertion& insertion() { return *m_insertion; }
    KeyPicker& picker() { return *m_picker; }

    // Controls, by their historical names.
    QWidget* Picture100;    // title bar
    LabelButton* Label2;    // "X": quit
    LabelButton* Label13;   // "[]": full screen / normal
    LabelButton* Label3;    // "-": minimise
    LabelButton* Label7;    // "*": to the tray
    LabelButton* Label1;    // title text; dragging it moves the window
    QComboBox* Combo1;      // category selector
    LabelButton* Label11;   // "+": category manager
    QListWidget* List1;     // keys of the current category
    KeyEditor* Text2;       // the key text editor
    QWidget* Picture1;      // toolbar
    QLabel* Label12;        // key counter
    LabelButton* Label8;    // "R": rename key
    LabelButton* Label5;    // "-": delete key
    LabelButton* Label4;    // "+": add key
    LabelButton* Label9;    // "Menù"
    QLabel* Label10;        // backing of the "Enabled" box
    QCheckBox* Check1;      // "Enabled": the clipboard trigger's switch
    LabelButton* Label14;   // "C": copy the text
    LabelButton* Label6;    // "Save"
    LabelButton* Resizepic; // resize grip
    QLineEdit* Text1;       // hidden mirror of the clipboard text last looked at
    QLineEdit* AAA;         // hidden: "1" while the window is kept on top
    QLineEdit* BBB;         // hidden: "1" while the window is translucent
    QTimer* Timer1;         // the clipboard trigger
    QTimer* OraAggiorna;    // title clock and key counter, every second
    QTimer* Passa;          // one-shot delay before a paste from the tray menu
    QTimer* CreaCAT;        // one-shot request to rebuild the category list

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Check1_Click();
    void buildControls();
    void wireMenus();

    Platform& m_platform;
    StorePaths m_paths;
    KeyListBinding* m_keyList = nullptr;
    KeyEditing* m_keyEditing = nullptr;
    LiveStore* m_live = nullptr;
    QPointer<CategoryManager> m_form3;
    ClipboardTrigger* m_trigger = nullptr;
    WindowChrome* m_chrome = nullptr;
    TrayMenus* m_menus = nullptr;
    TrayController* m_tray = nullptr;
    DirectInsertion* m_insertion = nullptr;
    KeyPicker* m_picker = nullptr;
    TitleClock* m_titleClock = nullptr;
    WindowOptions* m_options = nullptr;
};
