#pragma once

#include <QDateTime>
#include <QObject>
#include <QPoint>
#include <QRect>

class Clock;
class LabelButton;
class QWidget;
class WindowEffects;

// The borderless main window's own chrome: the layout that follows the window's size, moving the
// window by its title bar, sizing it by the grip in the corner, and the title bar's "[]" and "-".
// It watches the controls' events itself, so the window only has to create it.
class WindowChrome : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* window;
        QWidget* titleBar;       // Picture100
        QWidget* title;          // Label1
        LabelButton* fullScreen; // Label13, "[]"
        LabelButton* minimise;   // Label3, "-"
        QWidget* grip;           // Resizepic
        QWidget* text;           // Text2
        QWidget* keyList;        // List1
        QWidget* toolbar;        // Picture1
        QWidget* save;           // Label6
    };

    WindowChrome(const Controls& controls, WindowEffects& effects, const Clock& clock, QObject* parent = nullptr);

    // Lays the moving controls out for the window's size, growing the window to its minimum first.
    void Form_Resize();
    void Label13_Click();
    void Label3_Click();
    // Shows the window in the normal state at its normal place, from full screen or from being hidden.
    void showNormalAgain();

    bool isSizing() const { return m_sizing; }
    // Neither minimised nor maximised nor full screen.
    static bool isNormal(const QWidget* window);

    // The caption a minimised window shows: " Wordwisp  |12-08-2026 - 14:05:09| ".
    static QString minimisedCaption(const QDateTime& moment);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool titleMouse(QEvent* event);
    bool gripMouse(QEvent* event);
    bool isNormal() const { return isNormal(c.window); }
    void maximiseByHandIfRefused();
    void notMinimisedAfterAll();

    Controls c;
    WindowEffects& m_effects;
    const Clock& m_clock;
    bool m_sizing = false;            // set by a press on the grip, cleared by a release there
    bool m_handMoving = false;        // moving the window ourselves where the window manager would not
    QPoint m_grabOffset;              // pointer position relative to the window's corner at the press
    bool m_maximiseRequested = false; // "[]" asked the system to maximise, not yet seen done
    bool m_handMaximised = false;     // the system would not, so we filled the screen ourselves
    QRect m_normalGeometry;           // where "[]" puts the window back
};
