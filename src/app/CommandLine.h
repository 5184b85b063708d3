#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. It is read before there is any application object, window or display,
// so that --help and --version work anywhere and a mistake is told before anything starts. Qt's own
// options (-platform xcb, -style=Fusion, --display :1 ...) are recognised only to be stepped over: they
// stay in argv for QApplication to take.
class CommandLine {
public:
    enum class Action {
        Start,   // the program itself, or the running instance's window when one runs
        Help,    // the usage on stdout
        Version, // "wordwisp X.Y.Z" on stdout
        Show,    // the running instance's window back; never starts one
        Quit,    // the running instance ended as "Exit the program" ends it; never starts one
        Pick,    // the running instance's key picker; never starts one
        Paste,   // one key pasted by the running instance where the focus is; never starts one
        Import,  // another expander's keys into the store; no display needed
        Export,  // the store as espanso match files; no display needed
        Misuse,  // an option we do not know, or two that ask for different things: the usage on stderr
    };

    // The arguments after the program's name.
    static CommandLine parse(const QStringList& arguments);

    // The desktop to start on is missing: no X11 or Wayland display named, and no Qt platform that needs
    // none (offscreen, vnc ...) asked for by -platform or QT_QPA_PLATFORM. Start only.
    bool lacksDisplay(const QString& x11Display, const QString& waylandDisplay, const QString& qpaPlatform) const;

    static QString usage();
    static QString versionLine();

    Action action = Action::Start;
    QString problem;            // what was wrong, for Misuse
    QString pasteKey;           // for Paste: the key as the user typed it
    QString pasteCategory;      // for Paste: its category as typed; empty for the current one
    QString importPath;         // for Import: the file or folder to read
    QString intoCategory;       // for Import: every key into this category; empty for the source's own
    bool dryRun = false;        // for Import: report only
    QString exportFolder;       // for Export: where the match files go
    QString platform;           // the value of Qt's -platform, when given
    bool displayOption = false; // Qt's -display was given
};
