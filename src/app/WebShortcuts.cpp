#include "app/WebShortcuts.h"

#include "platform/Dialogs.h"
#include "platform/ProgramFiles.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QUrl>

WebShortcuts::WebShortcuts(QWidget* Form1, Shell& shell, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_form1(Form1), m_shell(shell), m_dialogs(dialogs) {}

void WebShortcuts::Google_Click() {
    OpenDocument(m_form1, kGoogle);
}

void WebShortcuts::Wikipedia_Click() {
    OpenDocument(m_form1, kWikipedia);
}

void WebShortcuts::Aiuto_Click() {
    const QString address = helpPageAddress(QCoreApplication::applicationDirPath());
    if (address.isEmpty()) {
        m_dialogs.messageBox(QStringLiteral("The help page was not found. Install Wordwisp again to restore it."),
                             BoxStyle::Critical);
        return;
    }
    OpenDocument(m_form1, address);
}

void WebShortcuts::OpenDocument(QWidget*, const QString& target) {
    // The desktop decides which program opens the address; when none does, there is nothing more we can
    // do from here, and the menu simply closes.
    if (!m_shell.openUrl(target))
        qWarning("Wordwisp: no program opened %s", qUtf8Printable(target));
}

QStringList WebShortcuts::helpPageCandidates(const QString& executableFolder) {
    return ProgramFiles::candidates(executableFolder, kHelpPage);
}

QString WebShortcuts::helpPageAddress(const QString& executableFolder) {
    const QString page = ProgramFiles::find(executableFolder, kHelpPage);
    return page.isEmpty() ? QString() : QUrl::fromLocalFile(page).toString();
}
