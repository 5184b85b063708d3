#include <QTest>

#ifdef WORDWISP_GNOME
#include "platform/gnome/GnomeDesktop.h"
#include "platform/gnome/MutterKeySender.h"

#include <QFileInfo>
#include <QTemporaryDir>
#endif

// What the GNOME route decides without a desktop: the keysym events of a keystroke, and the first-start
// notice shown once. Mutter itself is met in tests/e2e/gnome_l3afpad.sh.
class GnomeDesktopTest : public QObject {
    Q_OBJECT

private slots:
#ifdef WORDWISP_GNOME
    void keysymEvents() {
        using E = MutterSession::KeyEvent;
        const auto same = [](const QList<E>& a, const QList<E>& b) {
            if (a.size() != b.size())
                return false;
            for (qsizetype i = 0; i < a.size(); ++i) {
                if (a[i].keysym != b[i].keysym || a[i].press != b[i].press)
                    return false;
            }
            return true;
        };
        // Ctrl+V: the left Ctrl around a lower-case v, whatever the user holds (mutter counts presses).
        QVERIFY(same(*MutterKeySender::events(QStringLiteral("^v")), {{0xffe3, true}, {'v', true}, {'v', false}, {
                                                                          0xffe3,
                                                                          false
                                                                      }}));
        // Ctrl+Shift+V for terminals: Shift inside Ctrl, let go in the opposite order.
        QVERIFY(same(*MutterKeySender::events(QStringLiteral("^+v")),
                     {{0xffe3, true}, {0xffe1, true}, {'v', true}, {'v', false}, {0xffe1, false}, {
                          0xffe3,
                          false
                      }}));
        // A capital letter brings no Shift of ours: mutter adds the level's Shift from its own keymap.
        QVERIFY(same(*MutterKeySender::events(QStringLiteral("V{TAB}")), {{'V', true}, {'V', false}, {0xff09, true}, {
                                                                              0xff09,
                                                                              false
                                                                          }}));
        QVERIFY(!MutterKeySender::events(QStringLiteral("{NOSUCHKEY}")));
        QVERIFY(!MutterKeySender::events(QStringLiteral("^")));
    }

    void noticeOnce() {
        QTemporaryDir home;
        const QString folder = home.path() + QStringLiteral("/config/wordwisp");
        const QString first = GnomeDesktop::firstStartNotice(folder);
        QVERIFY(first.contains(QStringLiteral("screen-sharing")));
        QVERIFY(first.contains(QStringLiteral("Stop Screen Sharing")));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(GnomeDesktop::firstStartNotice(folder).isEmpty());
    }
#else
    void notBuilt() {
        QSKIP("this build has no GNOME route (QtDBus missing)");
    }
#endif
};

QTEST_GUILESS_MAIN(GnomeDesktopTest)
#include "GnomeDesktopTest.moc"
