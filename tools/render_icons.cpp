// Build tool: writes the program's icon as PNG files into an icon theme tree,
//   render_icons <folder> <size>...   ->   <folder>/<size>x<size>/apps/wordwisp.png
// so the package's icons are the very drawing the window and the tray show.
#include "app/AppIcon.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: render_icons <folder> <size>...\n");
        return 2;
    }
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(size);
        if (!ok || size <= 0 || !QDir().mkpath(folder) ||
            !AppIcon::image(size).save(folder + QStringLiteral("/wordwisp.png"), "PNG")) {
            std::fprintf(stderr, "render_icons: could not write the %s icon\n", qPrintable(args.at(i)));
            return 1;
        }
    }
    return 0;
}
