// How long an outside change takes to reach the key list: the real main window, offscreen with the
// fake platform, on a real store of a few hundred keys (or as many as the first argument says) in a
// temporary folder. Prints one line per
// measure; used by live_store.sh.
#include "app/MainWindow.h"
#include "platform/fake/FakePlatform.h"
#include "store/KeyListBinding.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kStoreKeys = 300;
constexpr int kRounds = 20;
constexpr int kBurstKeys = 1000;
constexpr int kBurstStep = 10;
constexpr int kGiveUpMs = 5000;

void write(const QString& path, const QByteArray& bytes) {
    const QString temporary = QFileInfo(path).path() + QStringLiteral("/.incoming.tmp");
    QFile f(temporary);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    f.close();
    QFile::rename(temporary, path);
}

// Milliseconds until the list holds `count` entries, spinning the event loop; -1 when it never does.
double waitForCount(QListWidget* list, int count) {
    QElapsedTimer clock;
    clock.start();
    while (list->count() != count) {
        if (clock.elapsed() > kGiveUpMs)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return clock.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The store's size may be given: an outside change must stay cheap in a category of 100,000 keys.
    const int storeKeys = argc > 1 ? std::max(1, std::atoi(argv[1])) : kStoreKeys;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString work = dir.path() + QStringLiteral("/Db/Work");
    QDir().mkpath(work);
    write(dir.path() + QStringLiteral("/Db/Cat.ini"), "Work\r\n");
    for (int i = 0; i < storeKeys; ++i)
        write(work + QStringLiteral("/key%1").arg(i), "text\r\n");

    FakePlatform fake;
    MainWindow window(fake.platform(), StorePaths(dir.path()));
    QListWidget* list = window.List1;
    QTest::qWait(200);

    QList<double> times;
    for (int i = 0; i < kRounds; ++i) {
        const int before = list->count();
        write(work + QStringLiteral("/new%1").arg(i), "arrived\r\n");
        times.append(waitForCount(list, before + 1));
        QTest::qWait(50);
    }
    std::sort(times.begin(), times.end());
    std::printf("outside change to the key list (ms, %d rounds, %d keys): min %.1f median %.1f max %.1f\n", kRounds,
                storeKeys, times.first(), times.at(times.size() / 2), times.last());

    int refreshes = 0;
    QObject::connect(&window.keyList(), &KeyListBinding::keyListChanged, [&refreshes] { ++refreshes; });
    const int before = list->count();
    QElapsedTimer burst;
    burst.start();
    // A few files at a time, with the program running in between, as another process writes them.
    for (int i = 0; i < kBurstKeys; ++i) {
        write(work + QStringLiteral("/burst%1").arg(i), "b\r\n");
        if (i % kBurstStep == kBurstStep - 1)
            QCoreApplication::processEvents();
    }
    const double written = burst.nsecsElapsed() / 1e6;
    const double listed = waitForCount(list, before + kBurstKeys);
    QTest::qWait(1000);
    std::printf("burst of %d files: written in %.0f ms, all listed %.0f ms after the last, %d list refresh(es)\n",
                kBurstKeys, written, listed, refreshes);
    return 0;
}
