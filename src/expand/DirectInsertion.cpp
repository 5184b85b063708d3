#include "expand/DirectInsertion.h"

#include "expand/ClipboardTrigger.h"
#include "platform/ClockText.h"
#include "platform/Platform.h"
#include "store/KeyEditor.h"

#include <QTimer>

DirectInsertion::DirectInsertion(Controls controls, Platform& platform, ClipboardTrigger& trigger, QObject* parent)
    : QObject(parent), m_ui(controls), m_platform(platform), m_trigger(trigger),
      m_paste(*platform.clipboard, *platform.keys) {
    connect(m_ui.Passa, &QTimer::timeout, this, &DirectInsertion::Passa_Timer);
}

QString DirectInsertion::dateAndTime(const QDateTime& moment) {
    return ClockText::date(moment.date()) + QStringLiteral(" - ") + ClockText::time(moment.time());
}

void DirectInsertion::Keyw_Click(const QString& key) {
    // The key's name goes on the clipboard, where the running trigger turns it into the key's text. The
    // trigger must not paste it itself: the one paste comes from Passa, a second from now, into the
    // window that has the focus by then. With the trigger stopped the name itself is pasted.
    m_trigger.leavePasteTo(key);
    if (!m_paste.putOnClipboard(key)) {
        // Pasting now would put whatever the clipboard held before into the user's document.
        m_trigger.leavePasteTo(QString());
        m_ui.Passa->stop();
        qWarning("Wordwisp: the clipboard did not take the key name \"%s\"; nothing pasted", qUtf8Printable(key));
        return;
    }
    m_ui.Passa->start();
}

void DirectInsertion::Passa_Timer() {
    m_ui.Passa->stop();
    // From here on the name on the clipboard, if the trigger has not expanded it, is just text.
    m_trigger.leavePasteTo(QString());
    m_paste.sendPaste();
}

void DirectInsertion::Data3_Click(WindowFocus::WindowId previousWindow) {
    if (!pasteText(dateAndTime(m_platform.clock->now()), previousWindow))
        qWarning("Wordwisp: the clipboard did not take the date and time; nothing pasted");
}

bool DirectInsertion::pasteText(const QString& text, WindowFocus::WindowId previousWindow) {
    m_trigger.passOver(text);
    if (!m_paste.putOnClipboard(text))
        return false;
    // Straight back to the window the user was in; switching windows by keystroke would leave it on
    // desktops where the menu never took the focus from it.
    if (previousWindow != 0 && !m_platform.focus->giveFocus(previousWindow))
        qWarning("Wordwisp: the window the text was for did not take the focus back; pasted where the focus is");
    m_paste.sendPaste();
    return true;
}

void DirectInsertion::Label14_Click() {
    m_ui.Text2->setFocus();
    m_ui.Text2->selectAll();
    // The text as the key file holds it, line ends and all; copying the selection through the editor
    // would hand over its own line ends, and a synthesized Ctrl+C reaches the editor only while this
    // window has the keyboard focus.
    m_paste.putOnClipboard(m_ui.Text2->text());
}
