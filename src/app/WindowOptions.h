#pragma once

#include <QObject>

class QAction;
class QLineEdit;
class QWidget;
class WindowEffects;

// "Always on top" and "Transparent" of the main menu. Each keeps its state as "1" or "0" in a hidden
// text box of the window (AAA, BBB); the menu item flips the text, and the box's change handler applies
// it to the window and sets the item's mark. Neither is saved: every run starts with both off.
class WindowOptions : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* Form1;
        QLineEdit* AAA; // always on top
        QLineEdit* BBB; // translucent
        QAction* PrimoPiano;
        QAction* Trasparente;
    };

    // The opacity of the translucent window: 200 of 255.
    static constexpr double kTranslucent = 200.0 / 255.0;

    WindowOptions(Controls controls, WindowEffects& effects, QObject* parent = nullptr);

    void PrimoPiano_Click();
    void Trasparente_Click();
    void AAA_Change();
    void BBB_Change();
    void DarkMeSi();
    void DarkMeNo();
    void SetTopmost(bool onTop);
    // Applies the options again to a window that was hidden and is shown anew: mapping a window starts
    // it with the window manager's default stacking.
    void reapply();

private:
    static void flip(QLineEdit* flag);

    Controls m_ui;
    WindowEffects& m_effects;
};
