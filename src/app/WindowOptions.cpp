#include "app/WindowOptions.h"

#include "platform/WindowEffects.h"

#include <QAction>
#include <QLineEdit>
#include <QWidget>

namespace {
const QString kOn = QStringLiteral("1");
const QString kOff = QStringLiteral("0");
} // namespace

WindowOptions::WindowOptions(Controls controls, WindowEffects& effects, QObject* parent)
    : QObject(parent), m_ui(controls), m_effects(effects) {
    m_ui.AAA->setText(kOff);
    m_ui.BBB->setText(kOff);
    m_ui.PrimoPiano->setChecked(false);
    m_ui.Trasparente->setChecked(false);
    // Only a change of the text runs the handler, as the flip always makes one.
    connect(m_ui.AAA, &QLineEdit::textChanged, this, &WindowOptions::AAA_Change);
    connect(m_ui.BBB, &QLineEdit::textChanged, this, &WindowOptions::BBB_Change);
    connect(m_ui.PrimoPiano, &QAction::triggered, this, &WindowOptions::PrimoPiano_Click);
    connect(m_ui.Trasparente, &QAction::triggered, this, &WindowOptions::Trasparente_Click);
}

void WindowOptions::flip(QLineEdit* flag) {
    if (flag->text() == kOn)
        flag->setText(kOff);
    else if (flag->text() == kOff || flag->text().isEmpty())
        flag->setText(kOn);
}

void WindowOptions::PrimoPiano_Click() {
    flip(m_ui.AAA);
}

void WindowOptions::Trasparente_Click() {
    flip(m_ui.BBB);
}

void WindowOptions::AAA_Change() {
    // The mark is set here in both cases: the click on the item has already ticked or unticked it.
    if (m_ui.AAA->text() == kOn) {
        SetTopmost(true);
        m_ui.PrimoPiano->setChecked(true);
    } else if (m_ui.AAA->text() == kOff) {
        SetTopmost(false);
        m_ui.PrimoPiano->setChecked(false);
    }
}

void WindowOptions::BBB_Change() {
    if (m_ui.BBB->text() == kOn) {
        m_ui.Trasparente->setChecked(true);
        DarkMeSi();
    } else if (m_ui.BBB->text() == kOff) {
        m_ui.Trasparente->setChecked(false);
        DarkMeNo();
    }
}

void WindowOptions::DarkMeSi() {
    m_effects.setOpacity(m_ui.Form1, kTranslucent);
}

void WindowOptions::DarkMeNo() {
    // Simply opaque. The colour key of the classic "off" state made pixels of exactly red 200 see-through;
    // no pixel of this window has that colour, and no X11 window can be keyed that way.
    m_effects.setOpacity(m_ui.Form1, 1.0);
}

void WindowOptions::SetTopmost(bool onTop) {
    // Keeps the window where it is and as large as it is; it is only shown, should it not be.
    m_effects.setStaysOnTop(m_ui.Form1, onTop);
    if (!m_ui.Form1->isVisible())
        m_ui.Form1->show();
}

void WindowOptions::reapply() {
    if (m_ui.AAA->text() == kOn)
        SetTopmost(true);
    if (m_ui.BBB->text() == kOn)
        DarkMeSi();
}
