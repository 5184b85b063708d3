#pragma once

#include "store/StorePaths.h"

#include <QWidget>

class KeyEditor;
class KeyListBinding;
class LabelButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;
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

    KeyListBinding& keyList() { return *m_keyList; }

    // Controls, by their historical names.
    QLabel* Label1;         // title text
    QLineEdit* Text1;       // hidden mirror of the clipboard text last looked at
    KeyEditor* Text2;       // the key text editor
    QListWidget* List1;     // keys of the current category
    QComboBox* Combo1;      // category selector
    QCheckBox* Check1;      // "Enabled": the clipboard trigger's switch
    LabelButton* Label6;    // "Save"
    LabelButton* Label2;    // "X"
    QTimer* Timer1;         // the clipboard trigger

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void buildControls();

    Platform& m_platform;
    StorePaths m_paths;
    KeyListBinding* m_keyList = nullptr;
};
