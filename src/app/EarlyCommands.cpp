#include "app/EarlyCommands.h"

#include "app/CommandLine.h"
#include "exchange/StoreExport.h"
#include "exchange/StoreImport.h"
#include "platform/InstanceRequest.h"
#include "platform/SingleInstance.h"
#include "store/StorePaths.h"

#include <QCoreApplication>

#include <cstdio>

namespace {
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
// As most command line programs: a command line that cannot be read.
constexpr int kExitMisuse = 2;

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The word for what a request asks, as "nothing to ..." says it.
QString doing(CommandLine::Action action) {
    switch (action) {
    case CommandLine::Action::Quit:
        return QStringLiteral("quit");
    case CommandLine::Action::Pick:
        return QStringLiteral("pick from");
    case CommandLine::Action::Paste:
        return QStringLiteral("paste from");
    default:
        return QStringLiteral("show");
    }
}

InstanceRequest requestFor(const CommandLine& line) {
    switch (line.action) {
    case CommandLine::Action::Quit:
        return {QStringLiteral("quit"), {}};
    case CommandLine::Action::Pick:
        return {QStringLiteral("pick"), {}};
    case CommandLine::Action::Paste:
        return {QStringLiteral("paste"), line.pasteCategory.isEmpty() ? QStringList{line.pasteKey}
                                                                      : QStringList{line.pasteKey, line.pasteCategory}};
    default:
        return {QStringLiteral("show"), {}};
    }
}

int askRunning(int argc, char* argv[], const CommandLine& line) {
    // The socket needs an application object of some kind, and a display none.
    QCoreApplication app(argc, argv);
    const bool quit = line.action == CommandLine::Action::Quit;
    const InstanceRequest request = requestFor(line);
    if (request.encode().isEmpty()) {
        print(stderr, QStringLiteral("wordwisp: the name is too long to be a key's or a category's\n"));
        return kExitFailed;
    }
    QString reason;
    const SingleInstance::Outcome outcome =
        SingleInstance::request(SingleInstance::defaultSocketPath(), request, &reason);
    switch (outcome) {
    case SingleInstance::Outcome::Done:
        return kExitOk;
    case SingleInstance::Outcome::NoInstance:
        print(stderr, QStringLiteral("wordwisp: Wordwisp is not running (for this user and display), so there is "
                                     "nothing to %1\n")
                          .arg(doing(line.action)));
        return kExitFailed;
    case SingleInstance::Outcome::Refused:
        if (!reason.isEmpty())
            print(stderr, QStringLiteral("wordwisp: nothing pasted: %1\n").arg(reason));
        else
            print(stderr, QStringLiteral("wordwisp: the running Wordwisp did not quit: it asks for a category to be "
                                         "chosen first\n"));
        return kExitFailed;
    case SingleInstance::Outcome::NoAnswer:
        break;
    }
    print(stderr, quit ? QStringLiteral("wordwisp: the running Wordwisp did not end in time\n")
                       : QStringLiteral("wordwisp: the running Wordwisp did not answer\n"));
    return kExitFailed;
}
void printLines(std::FILE* stream, const QStringList& lines) {
    for (const QString& line : lines)
        print(stream, line + u'\n');
}

// --import and --export work on the store the program would open, with no display and whether or not
// Wordwisp runs: a running one sees the new keys through its watch on the store.
int exchange(int argc, char* argv[], const CommandLine& line) {
    QCoreApplication app(argc, argv);
    const StorePaths store(StorePaths::applicationFolder().folder);
    if (line.action == CommandLine::Action::Export) {
        const StoreExport::Outcome outcome = StoreExport::toEspanso(store.root(), line.exportFolder);
        printLines(stdout, outcome.report);
        printLines(stderr, outcome.problems);
        return outcome.exitCode;
    }
    const StoreImport::Outcome outcome =
        StoreImport::run(line.importPath, store.root(), {line.intoCategory, line.dryRun});
    // The problems first: a long import's summary is then the last thing on the screen.
    printLines(stderr, outcome.problems);
    printLines(stdout, outcome.report);
    return outcome.exitCode;
}
} // namespace

std::optional<int> EarlyCommands::run(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = CommandLine::parse(arguments);
    switch (line.action) {
    case CommandLine::Action::Help:
        print(stdout, CommandLine::usage());
        return kExitOk;
    case CommandLine::Action::Version:
        print(stdout, CommandLine::versionLine());
        return kExitOk;
    case CommandLine::Action::Misuse:
        print(stderr, QStringLiteral("wordwisp: %1\n").arg(line.problem));
        print(stderr, CommandLine::usage());
        return kExitMisuse;
    case CommandLine::Action::Show:
    case CommandLine::Action::Quit:
    case CommandLine::Action::Pick:
    case CommandLine::Action::Paste:
        return askRunning(argc, argv, line);
    case CommandLine::Action::Import:
    case CommandLine::Action::Export:
        return exchange(argc, argv, line);
    case CommandLine::Action::Start:
        break;
    }
    if (line.lacksDisplay(qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"),
                          qEnvironmentVariable("QT_QPA_PLATFORM"))) {
        print(stderr, QStringLiteral("wordwisp: no display to open the window on: set DISPLAY (X11) or "
                                     "WAYLAND_DISPLAY (Wayland), as a desktop session does\n"));
        return kExitFailed;
    }
    return std::nullopt;
}
