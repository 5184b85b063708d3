#pragma once

#include "store/StorePaths.h"

#include <QWidget>

class Dialogs;
class LabelButton;
class QComboBox;
class QLabel;
class QTimer;

// The category manager window, "Gestione Categorie". It works on the category that was current when it
// opened, changes folders on disk only, and asks the main window to rebuild its category list by arming
// the main window's one-shot timer. While it is open the main window is hidden. It deletes itself when
// closed.
class CategoryManager : public QWidget {
    Q_OBJECT
public:
    struct MainControls {
        QWidget* Form1;
        QComboBox* Combo1;
        QTimer* CreaCAT;
    };

    CategoryManager(MainControls main, StorePaths paths, Dialogs& dialogs, QWidget* parent = nullptr);

    void Form_KeyPress(int keyAscii);
    void Label9_Click(); // create
    void Label1_Click(); // delete
    void Label2_Click(); // rename

    // Controls, by their names in this window (the main window has others of the same names).
    QWidget* Picture1;
    QLabel* Label3;      // "Categoria Corrente:"
    QLabel* Label4;      // the category this window works on
    LabelButton* Label1; // delete
    LabelButton* Label2; // rename
    LabelButton* Label9; // create

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Unload();
    // The category whose name Label4 holds; empty when there was none, or when the name could reach
    // outside the store root.
    QString workingCategory() const;
    void requestRebuild();

    MainControls m_main;
    StorePaths m_paths;
    Dialogs& m_dialogs;
};
