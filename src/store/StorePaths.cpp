#include "store/StorePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {
QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}
QString clean(const QString& folder) {
    return withoutTrailingSeparator(QDir::fromNativeSeparators(folder));
}
} // namespace

StorePaths::StorePaths(QString applicationFolder) : m_app(withoutTrailingSeparator(std::move(applicationFolder))) {}

StorePaths::FolderChoice StorePaths::applicationFolder() {
    const QString program = QCoreApplication::applicationDirPath();
    return chooseApplicationFolder(program, qEnvironmentVariable("WORDWISP_HOME"), userDataFolder(),
                                   isSystemFolder(program));
}

StorePaths::FolderChoice StorePaths::chooseApplicationFolder(const QString& programFolder, const QString& namedFolder,
                                                             const QString& userDataFolder,
                                                             bool programFolderIsSystem) {
    if (!namedFolder.isEmpty())
        return {FolderKind::Named, clean(QDir(namedFolder).absolutePath())};
    const QFileInfo program(programFolder);
    const bool holdsStore = QFileInfo(QDir(programFolder).filePath(QStringLiteral("Db"))).isDir();
    if (!programFolderIsSystem && (holdsStore || (program.isDir() && program.isWritable())))
        return {FolderKind::Program, clean(programFolder)};
    return {FolderKind::UserData, clean(userDataFolder)};
}

QString StorePaths::userDataFolder() {
    // Qt reads XDG_DATA_HOME and falls back to ~/.local/share, as the base directory rules say.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/wordwisp");
}

bool StorePaths::isSystemFolder(const QString& folder) {
    static const QStringList system{QStringLiteral("/usr"), QStringLiteral("/bin"), QStringLiteral("/sbin"),
                                    QStringLiteral("/lib"), QStringLiteral("/opt"), QStringLiteral("/etc")};
    const QFileInfo info(folder);
    const QString path = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    for (const QString& top : system) {
        // /usr/local is the administrator's, but it is still no place for one user's keys.
        if (path == top || path.startsWith(top + u'/'))
            return true;
    }
    return false;
}

QString StorePaths::root() const {
    return m_app + QStringLiteral("/Db");
}

QString StorePaths::catIni() const {
    return root() + QStringLiteral("/Cat.ini");
}

QString StorePaths::category(const QString& name) const {
    return root() + u'/' + name;
}

QString StorePaths::keyFile(const QString& categoryName, const QString& keyName) const {
    return category(categoryName) + u'/' + keyName;
}
