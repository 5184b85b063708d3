#include "app/EarlyCommands.h"
#include "app/MainWindow.h"
#include "app/PlatformStartGuard.h"
#include "platform/Platform.h"
#include "platform/ProgramFiles.h"
#include "platform/SingleInstance.h"
#include "store/StorePaths.h"
#include "store/StoreSeed.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // --help, --version, --show, --quit and a start with no display at all end here, before any window.
    if (const std::optional<int> code = EarlyCommands::run(argc, argv))
        return *code;
    choosePlatformPlugin();
    PlatformStartGuard guard;
    QApplication app(argc, argv);
    guard.release();
    QApplication::setApplicationName(QStringLiteral("Wordwisp"));
    // The window may go to the tray; only an explicit exit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start only brings the running instance's window back.
    SingleInstance instance;
    if (!instance.isPrimary())
        return instance.askPrimaryToShow() ? 0 : 1;

    // An installed program keeps the store in the user's data folder; the first start there gives the
    // user the example keys.
    const StorePaths::FolderChoice home = StorePaths::applicationFolder();
    if (home.kind == StorePaths::FolderKind::UserData) {
        const QString examples =
            ProgramFiles::find(QCoreApplication::applicationDirPath(), QStringLiteral("examples/Db"), true);
        if (StoreSeed::seed(examples, home.folder) == StoreSeed::Result::Failed)
            qWarning("Wordwisp: could not give %s the example keys", qUtf8Printable(home.folder));
    }

    auto platform = createPlatform();
    MainWindow window(*platform, StorePaths(home.folder));
    QObject::connect(&instance, &SingleInstance::showRequested, &window, &MainWindow::bringBack);
    // --quit ends the program as "Exit the program" does: the category saved, the icon out of the tray.
    instance.setQuitHandler([&window] { return window.close(); });
    window.show();
    if (!platform->startupNotice.isEmpty())
        platform->dialogs->messageBox(platform->startupNotice, BoxStyle::Information);
    return QApplication::exec();
}
