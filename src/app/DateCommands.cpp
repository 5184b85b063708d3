#include "app/DateCommands.h"

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/ClockText.h"
#include "store/KeyEditor.h"

#include <QLabel>

DateCommands::DateCommands(Controls controls, Clipboard& clipboard, const Clock& clock, QObject* parent)
    : QObject(parent), m_ui(controls), m_clipboard(clipboard), m_clock(clock) {}

void DateCommands::copy(const QString& text, const QString& shown, const QString& message) {
    m_ui.Label6->setEnabled(false);
    m_clipboard.clear();
    // A clipboard held by another program is not reported: the user sees the message and pastes, as
    // with any copy that another program refused.
    m_clipboard.setText(text);
    m_ui.Text2->setText(shown + QStringLiteral("\r\n") + message);
}

void DateCommands::Data1_Click() {
    const QString date = ClockText::date(m_clock.now().date());
    copy(date, date, QStringLiteral("Date copied into memory. Make Paste or CTLR + V to copy elsewhere"));
}

void DateCommands::Ora_Click() {
    const QString time = ClockText::regionalTime(m_clock.now().time());
    copy(time, time, QStringLiteral("Now copied into memory. Make Paste or CTLR + V to copy elsewhere"));
}

void DateCommands::Data2_Click() {
    const QDateTime now = m_clock.now();
    const QString date = ClockText::date(now.date()) + QStringLiteral(" - ");
    copy(date + ClockText::regionalTime(now.time()), date + ClockText::time(now.time()),
         QStringLiteral("Date and Time copied into memory. Make Paste or CTLR + V to copy elsewhere"));
}
