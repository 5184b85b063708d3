#include "platform/KWinAccess.h"

#include "platform/Dialogs.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace {
// KWin takes a new desktop file in about 1.5 s (measured); a slow desktop is given more, the user no more
// than this in all.
constexpr int kGrantWaitMs = 5000;
constexpr int kGrantRetryMs = 250;
// The hash of the path that names the entry: short, and enough to keep a user's copies apart.
constexpr int kNameHashBytes = 6;

const QString kInterfaces = QStringLiteral("org_kde_kwin_fake_input,org_kde_plasma_window_management");

// Executables that a package put there come with its entry; /usr/local is a self-built copy's.
bool installed(const QString& executable) {
    if (executable.startsWith(QLatin1String("/usr/local/")))
        return false;
    for (const char* top : {"/usr/", "/bin/", "/sbin/", "/opt/"}) {
        if (executable.startsWith(QLatin1String(top)))
            return true;
    }
    return false;
}

// Exec= quotes an argument that holds a reserved character, escapes ", `, $ and \ inside the quotes,
// doubles a % (a field code otherwise), and as a string value doubles every backslash once more.
QString execValue(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (const QChar c : path)
        quote = quote || reserved.contains(c);
    QString arg;
    for (const QChar c : path) {
        if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            arg += u'\\';
        arg += c;
    }
    if (quote)
        arg = u'"' + arg + u'"';
    arg.replace(u'%', QStringLiteral("%%"));
    arg.replace(u'\\', QStringLiteral("\\\\"));
    return arg;
}

QString declinedFile(const KWinAccess::Situation& situation) {
    return situation.configHome + QStringLiteral("/wordwisp/kwin-declined");
}

QStringList declined(const KWinAccess::Situation& situation) {
    return TextFile::readLines(declinedFile(situation)).value_or(QStringList{});
}

bool remember(const KWinAccess::Situation& situation) {
    QStringList paths = declined(situation);
    paths.append(situation.executable);
    QDir().mkpath(situation.configHome + QStringLiteral("/wordwisp"));
    return TextFile::writeAtomic(declinedFile(situation), paths.join(TextFile::kLineEnd) + TextFile::kLineEnd);
}

// Checks now and then until KWin offers fake input or the time is up; the event loop runs meanwhile.
bool waitForGrant(const std::function<bool()>& fakeInputNow) {
    QElapsedTimer clock;
    clock.start();
    while (!fakeInputNow()) {
        if (clock.elapsed() >= kGrantWaitMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(kGrantRetryMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}
} // namespace

QString KWinAccess::entryText(const QString& executable) {
    if (executable.contains(u'\n') || executable.contains(u'\r'))
        return {};
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Wordwisp\n"
                          "Comment=Lets KWin take keystrokes from this copy of Wordwisp\n"
                          "Exec=%1\n"
                          "NoDisplay=true\n"
                          "X-KDE-Wayland-Interfaces=%2\n")
        .arg(execValue(executable), kInterfaces);
}

QString KWinAccess::entryPath(const Situation& situation) {
    const QByteArray hash =
        QCryptographicHash::hash(situation.executable.toUtf8(), QCryptographicHash::Sha1).left(kNameHashBytes);
    return situation.dataHome + QStringLiteral("/applications/wordwisp-") + QString::fromLatin1(hash.toHex()) +
           QStringLiteral(".desktop");
}

KWinAccess::Outcome KWinAccess::offer(Dialogs& dialogs, const Situation& situation,
                                      const std::function<bool()>& fakeInputNow) {
    const QString text = entryText(situation.executable);
    const QString path = entryPath(situation);
    // Asked once per executable: a written entry, or a No, is the answer for good.
    if (text.isEmpty() || installed(situation.executable) || QFileInfo::exists(path) ||
        declined(situation).contains(situation.executable))
        return Outcome::NotAsked;
    const QString question =
        QStringLiteral("On KDE Plasma, Wordwisp can paste into every window only if a menu entry names it. "
                       "This copy (%1) has none, so it works in X11 windows only.\n\n"
                       "Add a hidden menu entry for it to %2?")
            .arg(situation.executable, QDir::toNativeSeparators(path));
    if (dialogs.messageBox(question, BoxStyle::YesNoQuestion) != BoxAnswer::Yes) {
        if (!remember(situation))
            qWarning("Wordwisp: could not note the answer in %s", qUtf8Printable(declinedFile(situation)));
        return Outcome::Refused;
    }
    if (!QDir().mkpath(QFileInfo(path).path()) || !TextFile::writeAtomic(path, text)) {
        dialogs.messageBox(QStringLiteral("Could not write %1.").arg(path), BoxStyle::Critical);
        return Outcome::Failed;
    }
    if (waitForGrant(fakeInputNow))
        return Outcome::Granted;
    dialogs.messageBox(QStringLiteral("The menu entry is written. Start Wordwisp again to paste into every window."),
                       BoxStyle::Information);
    return Outcome::NeedsRestart;
}

KWinAccess::Situation KWinAccess::current() {
    return {QCoreApplication::applicationFilePath(),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
}
