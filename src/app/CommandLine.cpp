#include "app/CommandLine.h"

#include "store/NameRules.h"

#include <QSet>

namespace {
// Qt's options that take the next argument as their value (QGuiApplication, QApplication, the xcb plugin).
const QSet<QString> kQtWithValue = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("geometry"),
    QStringLiteral("qwindowicon"),     QStringLiteral("icon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("title"),
    QStringLiteral("display"),         QStringLiteral("name"),
    QStringLiteral("session"),         QStringLiteral("style"),
    QStringLiteral("stylesheet"),      QStringLiteral("visual"),
};
// And those that stand alone.
const QSet<QString> kQtFlags = {
    QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
    QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("testability"),
};
// Written as -name=value, and only so.
const QStringList kQtAttached = {QStringLiteral("style="), QStringLiteral("stylesheet="),
                                 QStringLiteral("qmljsdebugger=")};

// Qt platforms that draw into a display named by DISPLAY or WAYLAND_DISPLAY. Any other (offscreen,
// minimal, vnc, eglfs ...) needs neither.
bool needsDesktopDisplay(const QString& platform) {
    return platform.startsWith(QLatin1String("xcb")) || platform.startsWith(QLatin1String("wayland"));
}
} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    QList<Action> asked;
    const auto misuse = [&line](const QString& problem) {
        line.action = Action::Misuse;
        line.problem = problem;
        return line;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            asked.append(Action::Help);
            continue;
        }
        if (argument == QLatin1String("--version")) {
            asked.append(Action::Version);
            continue;
        }
        if (argument == QLatin1String("--show")) {
            asked.append(Action::Show);
            continue;
        }
        if (argument == QLatin1String("--quit")) {
            asked.append(Action::Quit);
            continue;
        }
        if (argument == QLatin1String("--pick")) {
            asked.append(Action::Pick);
            continue;
        }
        if (argument == QLatin1String("--dry-run")) {
            line.dryRun = true;
            continue;
        }
        // Paths and names may start with a dash: the word after the option is its value, whatever it is.
        if (argument == QLatin1String("--import") || argument == QLatin1String("--into")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                return misuse(QStringLiteral("option '%1' needs a %2")
                                  .arg(argument, argument == QLatin1String("--import") ? QStringLiteral("path")
                                                                                       : QStringLiteral("name")));
            QString& value = argument == QLatin1String("--import") ? line.importPath : line.intoCategory;
            if (!value.isNull())
                return misuse(QStringLiteral("'%1' goes once").arg(argument));
            value = arguments.at(++i);
            if (argument == QLatin1String("--import"))
                asked.append(Action::Import);
            continue;
        }
        if (argument == QLatin1String("--export")) {
            if (i + 2 >= arguments.size() || arguments.at(i + 2).isEmpty())
                return misuse(QStringLiteral("--export needs a format and a folder: --export espanso FOLDER"));
            if (arguments.at(i + 1) != QLatin1String("espanso"))
                return misuse(QStringLiteral("--export writes espanso only, not '%1'").arg(arguments.at(i + 1)));
            if (!line.exportFolder.isNull())
                return misuse(QStringLiteral("'--export' goes once"));
            line.exportFolder = arguments.at(i + 2);
            i += 2;
            asked.append(Action::Export);
            continue;
        }
        // A key or category name may start with a dash: the word after the option is its value, whatever it is.
        if (argument == QLatin1String("--paste") || argument == QLatin1String("--category")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).trimmed().isEmpty())
                return misuse(QStringLiteral("option '%1' needs a name").arg(argument));
            ++i;
            if (argument == QLatin1String("--paste")) {
                if (!line.pasteKey.isNull())
                    return misuse(QStringLiteral("--paste names one key"));
                line.pasteKey = arguments.at(i);
                asked.append(Action::Paste);
            } else {
                if (!line.pasteCategory.isNull())
                    return misuse(QStringLiteral("--category names one category"));
                line.pasteCategory = arguments.at(i);
            }
            continue;
        }
        // Qt takes its options with one dash or two.
        if (!argument.startsWith(u'-') || argument == QLatin1String("-") || argument == QLatin1String("--"))
            return misuse(QStringLiteral("unexpected argument '%1'").arg(argument));
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (kQtFlags.contains(name))
            continue;
        bool attached = false;
        for (const QString& prefix : kQtAttached)
            attached = attached || name.startsWith(prefix);
        if (attached)
            continue;
        if (kQtWithValue.contains(name)) {
            if (i + 1 >= arguments.size())
                return misuse(QStringLiteral("option '%1' needs a value").arg(argument));
            ++i;
            if (name == QLatin1String("platform"))
                line.platform = arguments.at(i);
            if (name == QLatin1String("display"))
                line.displayOption = true;
            continue;
        }
        return misuse(QStringLiteral("unknown option '%1'").arg(argument));
    }
    // Help wins over everything, as it does for most programs; otherwise one request at a time.
    if (!line.pasteCategory.isNull() && !asked.contains(Action::Help) && !asked.contains(Action::Paste))
        return misuse(QStringLiteral("--category goes with --paste"));
    if ((line.dryRun || !line.intoCategory.isNull()) && !asked.contains(Action::Help) &&
        !asked.contains(Action::Import))
        return misuse(QStringLiteral("--into and --dry-run go with --import"));
    if (!line.intoCategory.isNull() && (!NameRules::isAcceptable(line.intoCategory) ||
                                        NameRules::sameName(line.intoCategory, QStringLiteral("Cat.ini"))))
        return misuse(QStringLiteral("'%1' cannot be the name of a category").arg(line.intoCategory));
    if (asked.contains(Action::Help)) {
        line.action = Action::Help;
        return line;
    }
    QList<Action> distinct;
    for (const Action action : asked) {
        if (!distinct.contains(action))
            distinct.append(action);
    }
    if (distinct.size() > 1)
        return misuse(
            QStringLiteral("--version, --show, --quit, --pick, --paste, --import and --export go one at a time"));
    if (!distinct.isEmpty())
        line.action = distinct.first();
    return line;
}

bool CommandLine::lacksDisplay(const QString& x11Display, const QString& waylandDisplay,
                               const QString& qpaPlatform) const {
    if (!x11Display.isEmpty() || !waylandDisplay.isEmpty() || displayOption)
        return false;
    // The option wins over the variable; the variable may list fallbacks ("wayland;xcb").
    const QStringList platforms =
        platform.isEmpty() ? qpaPlatform.split(u';', Qt::SkipEmptyParts) : QStringList{platform};
    for (const QString& name : platforms) {
        if (!needsDesktopDisplay(name.trimmed()))
            return false;
    }
    return true;
}

QString CommandLine::usage() {
    return QStringLiteral(
        "Usage: wordwisp [--show | --quit | --pick | --paste KEY [--category NAME] | --help | --version]\n"
        "       wordwisp --import PATH [--into CATEGORY] [--dry-run]\n"
        "       wordwisp --export espanso FOLDER\n"
        "Replaces a keyword you copy (Ctrl+C) in any application with the text of its key.\n"
        "\n"
        "  --show     bring the running Wordwisp's window back\n"
        "  --quit     end the running Wordwisp as \"Exit the program\" does, and wait until it has ended\n"
        "  --pick     open the running Wordwisp's key picker: type part of a key's name or text, choose\n"
        "             with the arrows, Enter pastes it into the window you were in, Esc closes it\n"
        "  --paste KEY\n"
        "             paste the key KEY of the current category where the focus is\n"
        "  --category NAME\n"
        "             with --paste: the key of the category NAME instead\n"
        "  --import PATH\n"
        "             add the keys of espanso match files (a file or a folder), an AutoKey data folder, a\n"
        "             Beeftext combo list or a CSV file (keyword,text[,category]) to the store; a key that\n"
        "             exists is never replaced, and every key left out or renamed is told on stderr\n"
        "  --into CATEGORY\n"
        "             with --import: every key into the category CATEGORY\n"
        "  --dry-run  with --import: tell what would be imported, and write nothing\n"
        "  --export espanso FOLDER\n"
        "             write each category as an espanso match file FOLDER/CATEGORY.yml\n"
        "  --help     print this help and exit\n"
        "  --version  print the version and exit\n"
        "\n"
        "Without an option Wordwisp starts, or brings its window back where it runs already.\n"
        "Qt's own options (-platform, -style, -display ...) work as in any Qt program.\n"
        "Bind \"wordwisp --pick\" to a keyboard shortcut in your desktop's settings for a picker at a key press.\n");
}

QString CommandLine::versionLine() {
    return QStringLiteral("wordwisp " WORDWISP_VERSION "\n");
}
