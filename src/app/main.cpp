#include "app/EarlyCommands.h"
#include "app/MainWindow.h"
#include "app/PlatformStartGuard.h"
#include "expand/KeyPicker.h"
#include "platform/Platform.h"
#include "platform/ProgramFiles.h"
#include "platform/SingleInstance.h"
#include "store/StorePaths.h"
#include "store/StoreSeed.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // --help, --version, the requests for a running instance and a start with no display at all end here, before any
    // window.
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
    // The window the user was in is remembered as the request arrives, before the picker takes the focus.
    QObject::connect(&instance, &SingleInstance::pickRequested, &window,
                     [&window, &platform] { window.picker().open(platform->focus->foreignFocus()); });
    instance.setPasteHandler(
        [&window](const QString& key, const QString& category) { return window.picker().pasteKey(key, category); });
    // --quit ends the program as "Exit the program" does: the category saved, the icon out of the tray.
    instance.setQuitHandler([&window] { return window.close(); });
    window.show();
    if (!platform->startupNotice.isEmpty())
        platform->dialogs->messageBox(platform->startupNotice, BoxStyle::Information);
    return QApplication::exec();
}
