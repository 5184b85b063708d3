#include "platform/LabelButton.h"
#include "store/StoreListing.h"

#include "StoreWindow.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
const QString kWork = QStringLiteral("Work");
constexpr int kKills = 50;
constexpr qsizetype kBigKey = 1024 * 1024;
constexpr int kMaxKillDelayMs = 30;

// A small tmpfs mounted over a folder for as long as the object lives; it goes away with the object, also
// when a check has failed. Only root may mount.
class SmallDisk {
public:
    explicit SmallDisk(const QString& folder) : m_path(QFile::encodeName(folder)) {
        m_mounted = ::geteuid() == 0 && ::mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=256k") == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }

    // Writes a hidden file until the disk refuses another byte.
    void fill() const {
        const QByteArray filler = m_path + "/.filler";
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const QByteArray block(4096, 'x');
        while (fd >= 0 && ::write(fd, block.constData(), block.size()) > 0) {
        }
        char one = 'x';
        while (fd >= 0 && ::write(fd, &one, 1) == 1) {
        }
        if (fd >= 0)
            ::close(fd);
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

QByteArray saved(char letter) {
    return QByteArray(kBigKey, letter) + "\r\n";
}
} // namespace

// The store on a full disk, and a save killed halfway: nothing the user had is lost, and what failed is
// said.
class StoreFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void aFullDiskKeepsTheOldFilesAndSaysSo() {
        StoreWindow w;
        SmallDisk disk(w.store.root());
        if (!disk.mounted())
            QSKIP("no tmpfs could be mounted here (that needs root)");
        w.store.catIni("Work\r\n");
        w.store.key(kWork, QStringLiteral("memo"), "memo text\r\n");
        w.store.key(QStringLiteral("Private"), QStringLiteral("pin"), "1234\r\n");
        MainWindow& win = w.open();
        win.show();
        disk.fill();

        // A key bigger than what is left: the old text stays, the editor keeps the new one. The small text
        // fits a write buffer, so only flushing it meets the full disk.
        for (const qsizetype size : {qsizetype(8 * 1024), qsizetype(64 * 1024)}) {
            win.keyList().selectKey(0);
            const QString text(size, u'z');
            win.Text2->setText(text);
            w.click(win.Label6);
            QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The key memo could not be saved"));
            QCOMPARE(w.store.bytes(QStringLiteral("Work/memo")), QByteArray("memo text\r\n"));
            QCOMPARE(w.store.entries(kWork), QStringList{QStringLiteral("memo")});
            QCOMPARE(w.text(), text);
        }

        // Leaving in another category: the old name stays, the user hears of it, and the program ends.
        win.keyList().selectCategory(w.categories().indexOf(QStringLiteral("Private")));
        win.close();
        QCOMPARE(w.lastBox(), QStringLiteral("16|Error: The current category could not be saved"));
        QCOMPARE(w.store.bytes(QStringLiteral("Cat.ini")), QByteArray("Work\r\n"));
        QCOMPARE(w.fake.shell->ended, 1);
        QCOMPARE(w.store.entries(),
                 (QStringList{QStringLiteral(".filler"), QStringLiteral("Cat.ini"), QStringLiteral("Private"), kWork}));
    }

    // A save loop of the editor's own code, killed at random moments: the key is always one whole text,
    // and the key list never shows anything but the key.
    void aSaveKilledHalfwayLeavesOneWholeText() {
        TestStore store;
        store.key(kWork, QStringLiteral("memo"), saved('A'));
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/save_loop");
        int midSave = 0;
        int saves = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            QProcess loop;
            loop.start(tool, {store.path(QStringLiteral("Work/memo")), QString::number(kBigKey)});
            QVERIFY2(loop.waitForReadyRead(5000), qPrintable(tool));
            QThread::msleep(QRandomGenerator::global()->bounded(kMaxKillDelayMs));
            loop.kill();
            QVERIFY(loop.waitForFinished(5000));
            const QByteArray trace = loop.readAllStandardOutput();
            QVERIFY2(!trace.contains('f'), "a save failed");
            midSave += trace.endsWith('b');
            saves += trace.count('e');

            const QByteArray bytes = store.bytes(QStringLiteral("Work/memo"));
            QVERIFY2(bytes == saved('A') || bytes == saved('B'),
                     qPrintable(QStringLiteral("kill %1 left %2 bytes").arg(kill).arg(bytes.size())));
            QVERIFY2(StoreListing::keys(store.path(kWork)) == QStringList{QStringLiteral("memo")},
                     qPrintable(QStringLiteral("kill %1 left %2").arg(kill).arg(store.entries(kWork).join(u' '))));
        }
        qInfo("%d kills, %d inside a save; %d saves completed; entries left: %s", kKills, midSave, saves,
              qPrintable(store.entries(kWork).join(u' ')));
    }
};

QTEST_MAIN(StoreFaultsTest)
#include "StoreFaultsTest.moc"
