#include "platform/gnome/GnomeDesktop.h"

#include "platform/Platform.h"
#include "platform/TextFile.h"
#include "platform/gnome/MutterClipboard.h"
#include "platform/gnome/MutterKeySender.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

namespace {
const QString kMutterKeysNotice = QStringLiteral(
    "While Wordwisp pastes an expansion, GNOME shows the screen-sharing icon in the top bar. That is because "
    "Wordwisp sends the paste keystroke through GNOME's remote-desktop interface, the one way GNOME lets a "
    "program type for you. Nothing is shared or recorded, and the icon goes a few seconds after the last "
    "expansion.\n\nClicking \"Stop Screen Sharing\" only stops the current paste session: the next expansion "
    "starts a new one.");
// Its presence says the notice has been shown.
const QString kNoticeShownFile = QStringLiteral("gnome-paste-notice-shown");
} // namespace

void GnomeDesktop::adapt(Platform& platform) {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || QGuiApplication::platformName() != QLatin1String("xcb") ||
        platform.session || !platform.keys)
        return;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    // Without the interface (another desktop, or a GNOME that dropped it) the X11 keys stay, and the notice
    // already set says that only X11 windows expand.
    if (!MutterSession::offered(bus))
        return;
    // The X11 clipboard of the change signal; the polling path, there to be measured, stays as it is.
    if (dynamic_cast<X11Clipboard*>(platform.clipboard.get())) {
        std::unique_ptr<X11Clipboard> x11(static_cast<X11Clipboard*>(platform.clipboard.release()));
        platform.clipboard = std::make_unique<MutterClipboard>(std::move(x11), bus);
    }
    // The focus for the tray menu's commands stays X11's: with a native window active mutter names no
    // active X11 window (_NET_ACTIVE_WINDOW is 0, measured), so nothing is handed the focus and the paste
    // goes, through mutter, where the focus is: the native window the user was in. An XWayland window that
    // was active gets the focus back first, as on X11. No X11 window is ever given the focus in place of
    // a native one.
    platform.keys =
        std::make_unique<MutterKeySender>(std::make_unique<MutterSession>(bus), std::move(platform.keys), bus);
    platform.startupNotice = firstStartNotice(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                              QStringLiteral("/wordwisp"));
}

QString GnomeDesktop::firstStartNotice(const QString& configFolder) {
    const QString marker = configFolder + QLatin1Char('/') + kNoticeShownFile;
    if (QFileInfo::exists(marker))
        return QString();
    // Remembered before it is shown: a start that cannot write it shows the notice again next time, which
    // is better than never.
    if (!QDir().mkpath(configFolder) || !TextFile::writeAtomic(marker, QString()))
        qWarning("Wordwisp: could not remember in %s that the GNOME notice was shown", qUtf8Printable(configFolder));
    return kMutterKeysNotice;
}
