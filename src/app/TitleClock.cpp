#include "app/TitleClock.h"

#include "app/WindowChrome.h"
#include "platform/Clock.h"
#include "platform/ClockText.h"
#include "platform/Dialogs.h"

#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QWidget>

TitleClock::TitleClock(Controls controls, const Clock& clock, QObject* parent)
    : QObject(parent), m_ui(controls), m_clock(clock) {
    connect(m_ui.OraAggiorna, &QTimer::timeout, this, &TitleClock::OraAggiorna_Timer);
    m_ui.OraAggiorna->start();
}

void TitleClock::OraAggiorna_Timer() {
    // Back to the program's name rather than to no caption at all: a nameless window is a blank entry in
    // the task bar and the window switcher.
    if (WindowChrome::isNormal(m_ui.Form1) && m_ui.Form1->windowTitle() != kAppTitle)
        m_ui.Form1->setWindowTitle(kAppTitle);
    // Setting a label to the text it has already repaints nothing, but costs a comparison only.
    m_ui.Label1->setText(ClockText::title(m_clock.now()));
    m_ui.Label12->setText(QString::number(m_ui.List1->count()));
}
