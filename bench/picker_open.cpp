// The key picker on a store of 100,000 keys (100 categories of 1,000), through the real main window,
// offscreen with the fake platform: how long `--pick` takes until the window shows every name, until
// every text has been read, and what a keystroke costs in the window itself (the filter, the rows
// filled, the count), typed once the texts are in. Run it twice: the second run reads from a warm
// file cache, as a store in daily use is.
//   picker_open [keys]
#include "PickerStore.h"
#include "app/MainWindow.h"
#include "expand/KeyPicker.h"
#include "platform/fake/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kDefaultKeys = 100000;
constexpr int kKeysPerCategory = 1000;
constexpr int kReadWaitMs = 120000;

void writeStore(const QString& root, int keys) {
    for (int i = 0; i < keys; ++i) {
        const QString folder = root + QStringLiteral("/Category%1").arg(i / kKeysPerCategory, 3, 10, QLatin1Char('0'));
        if (i % kKeysPerCategory == 0)
            QDir().mkpath(folder);
        QFile file(folder + u'/' + PickerStore::keyName(i));
        if (file.open(QIODevice::WriteOnly))
            file.write((PickerStore::keyText(i) + QStringLiteral("\r\n")).toUtf8());
    }
    QFile ini(root + QStringLiteral("/Cat.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("Category000\r\n");
}

double ms(qint64 ns) {
    return double(ns) / 1e6;
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int keys = argc > 1 ? std::max(1, atoi(argv[1])) : kDefaultKeys;
    QTemporaryDir folder;
    writeStore(folder.path() + QStringLiteral("/Db"), keys);
    FakePlatform fake;
    MainWindow window(fake.platform(), StorePaths(folder.path()));
    KeyPicker& picker = window.picker();

    for (int run = 1; run <= 2; ++run) {
        QElapsedTimer clock;
        clock.start();
        picker.open(0);
        const qint64 shown = clock.nsecsElapsed();
        if (!QTest::qWaitFor([&picker] { return !picker.reading(); }, kReadWaitMs)) {
            std::fprintf(stderr, "the texts were not read in %d ms\n", kReadWaitMs);
            return 1;
        }
        const qint64 read = clock.nsecsElapsed();
        std::printf("open %d: %d keys, names shown after %.1f ms, every text read after %.1f ms\n", run, keys,
                    ms(shown), ms(read));
        picker.hide();
    }

    // Keystrokes into the window: a word typed, then deleted letter by letter.
    picker.open(0);
    if (!QTest::qWaitFor([&picker] { return !picker.reading(); }, kReadWaitMs))
        std::fprintf(stderr, "the texts were not all read within %d ms\n", kReadWaitMs);
    const QString typed = QStringLiteral("best regards");
    qint64 worst = 0;
    qint64 total = 0;
    int strokes = 0;
    const auto stroke = [&](auto send) {
        QElapsedTimer clock;
        clock.start();
        send();
        const qint64 took = clock.nsecsElapsed();
        worst = std::max(worst, took);
        total += took;
        ++strokes;
    };
    for (const QChar c : typed)
        stroke([&] { QTest::keyClick(picker.filterField, c.toLatin1()); });
    for (qsizetype i = 0; i < typed.size(); ++i)
        stroke([&] { QTest::keyClick(picker.filterField, Qt::Key_Backspace); });
    std::printf("keystrokes in the window: %d, %.2f ms each on average, %.2f ms the slowest\n", strokes,
                ms(total) / strokes, ms(worst));
    return 0;
}
