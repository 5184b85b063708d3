#include "app/MainWindow.h"
#include "platform/Platform.h"
#include "store/StorePaths.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wordwisp"));
    // The window may go to the tray; only an explicit exit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    auto platform = createPlatform();
    MainWindow window(*platform, StorePaths(StorePaths::applicationFolder()));
    window.show();
    return QApplication::exec();
}
