#include "app/MainWindow.h"
#include "platform/Platform.h"
#include "platform/SingleInstance.h"
#include "store/StorePaths.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wordwisp"));
    // The window may go to the tray; only an explicit exit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start only brings the running instance's window back.
    SingleInstance instance;
    if (!instance.isPrimary())
        return instance.askPrimaryToShow() ? 0 : 1;

    auto platform = createPlatform();
    MainWindow window(*platform, StorePaths(StorePaths::applicationFolder()));
    QObject::connect(&instance, &SingleInstance::showRequested, &window, &MainWindow::bringBack);
    window.show();
    return QApplication::exec();
}
