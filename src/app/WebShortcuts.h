#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Dialogs;
class Shell;
class QWidget;

// "Google...", "Wikipedia..." and "Help..." of the main menu: each hands its address to the desktop,
// which opens it in the default browser. The help page ships with the program and opens from disk, so
// it works without a network.
class WebShortcuts : public QObject {
    Q_OBJECT
public:
    static inline const QString kGoogle = QStringLiteral("https://www.google.com/");
    static inline const QString kWikipedia = QStringLiteral("https://en.wikipedia.org/");

    WebShortcuts(QWidget* Form1, Shell& shell, Dialogs& dialogs, QObject* parent = nullptr);

    void Google_Click();
    void Wikipedia_Click();
    void Aiuto_Click();
    void OpenDocument(QWidget* window, const QString& target);

    static inline const QString kHelpPage = QStringLiteral("help/index.html");

    // Where the help page may be, first match wins (see ProgramFiles).
    static QStringList helpPageCandidates(const QString& executableFolder);
    // The file address of the help page; empty when it is in none of those places.
    static QString helpPageAddress(const QString& executableFolder);

private:
    QWidget* m_form1;
    Shell& m_shell;
    Dialogs& m_dialogs;
};
