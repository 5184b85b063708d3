// The desktop entry that lets KWin take keystrokes from a copy run outside the package, and the rule that
// the user is asked about it once per executable.

#include "platform/KWinAccess.h"
#include "platform/TextFile.h"
#include "platform/fake/FakePlatform.h"

#include <QTemporaryDir>
#include <QTest>

class KWinAccessTest : public QObject {
    Q_OBJECT
private slots:
    void execNamesThePathExactly() {
        const auto exec = [](const QString& path) {
            return KWinAccess::entryText(path).section(QStringLiteral("Exec="), 1).section(u'\n', 0, 0);
        };
        QCOMPARE(exec(QStringLiteral("/home/jo/wordwisp/build/wordwisp")),
                 QStringLiteral("/home/jo/wordwisp/build/wordwisp"));
        QCOMPARE(exec(QStringLiteral("/home/jo/My Apps/wordwisp")), QStringLiteral("\"/home/jo/My Apps/wordwisp\""));
        // Inside the quotes $ and \ are escaped, % is doubled, and the value doubles every backslash again.
        QCOMPARE(exec(QStringLiteral("/tmp/a$b\\c%d")), QStringLiteral("\"/tmp/a\\\\$b\\\\\\\\c%%d\""));
        QVERIFY(KWinAccess::entryText(QStringLiteral("/tmp/two\nlines")).isEmpty());
        QVERIFY(KWinAccess::entryText(QStringLiteral("/x/wordwisp"))
                    .contains(QStringLiteral("\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input,"
                                             "org_kde_plasma_window_management\n")));
    }

    void askedOncePerExecutable() {
        QTemporaryDir home;
        const KWinAccess::Situation copy{QStringLiteral("/home/jo/build/wordwisp"), home.path() + "/data",
                                         home.path() + "/config"};
        FakeDialogs dialogs;
        int checks = 0;
        const auto grantedOnThirdCheck = [&] { return ++checks >= 3; };

        // No: nothing is written, and the answer holds for the next start.
        dialogs.answers.enqueue(BoxAnswer::No);
        QCOMPARE(KWinAccess::offer(dialogs, copy, grantedOnThirdCheck), KWinAccess::Outcome::Refused);
        QCOMPARE(dialogs.boxes.size(), 1);
        QCOMPARE(dialogs.boxes[0].style, BoxStyle::YesNoQuestion);
        QVERIFY(dialogs.boxes[0].text.contains(copy.executable));
        QVERIFY(!QFile::exists(KWinAccess::entryPath(copy)));
        QCOMPARE(KWinAccess::offer(dialogs, copy, grantedOnThirdCheck), KWinAccess::Outcome::NotAsked);
        QCOMPARE(dialogs.boxes.size(), 1);

        // Another copy is asked; Yes writes its entry, and KWin taking it is waited for.
        const KWinAccess::Situation other{QStringLiteral("/home/jo/other/wordwisp"), copy.dataHome, copy.configHome};
        dialogs.answers.enqueue(BoxAnswer::Yes);
        QCOMPARE(KWinAccess::offer(dialogs, other, grantedOnThirdCheck), KWinAccess::Outcome::Granted);
        QCOMPARE(checks, 3);
        QCOMPARE(dialogs.boxes.size(), 2);
        QCOMPARE(TextFile::read(KWinAccess::entryPath(other)), KWinAccess::entryText(other.executable));
        QVERIFY(KWinAccess::entryPath(other).startsWith(copy.dataHome + "/applications/"));
        QVERIFY(KWinAccess::entryPath(other) != KWinAccess::entryPath(copy));
        QCOMPARE(KWinAccess::offer(dialogs, other, grantedOnThirdCheck), KWinAccess::Outcome::NotAsked);

        // The package's own entry names /usr/bin/wordwisp: nothing to ask.
        const KWinAccess::Situation installed{QStringLiteral("/usr/bin/wordwisp"), copy.dataHome, copy.configHome};
        QCOMPARE(KWinAccess::offer(dialogs, installed, grantedOnThirdCheck), KWinAccess::Outcome::NotAsked);
        QCOMPARE(dialogs.boxes.size(), 2);
    }
};

QTEST_MAIN(KWinAccessTest)
#include "KWinAccessTest.moc"
