#include "store/StoreFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
// A link counts as an entry of its own, dangling or not.
bool present(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool isRealFolder(const QFileInfo& info) {
    return info.isDir() && !info.isSymLink();
}

// Whether entries can be added to or removed from a folder. access() also sees what the mode bits do not
// show: a read-only mount, an immutable folder.
bool canChangeEntries(const QString& folder) {
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
#else
    return QFileInfo(folder).isWritable();
#endif
}
} // namespace

bool StoreFiles::createEmptyKey(const QString& path) {
    QFile file(path);
    // NewOnly refuses an existing name, links included, so adding a key can never empty another file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    file.close();
    return true;
}

bool StoreFiles::removeKey(const QString& path) {
    const QFileInfo info(path);
    if (isRealFolder(info))
        return false;
    return QFile::remove(path) || !present(path);
}

bool StoreFiles::removeCategory(const QString& folder, bool& keysRemoved) {
    keysRemoved = false;
    const QFileInfo info(folder);
    if (!isRealFolder(info))
        return !present(folder);
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    // Everything that would stop the removal half-way is checked before the first key goes: a folder
    // inside, a category folder or store root that cannot be changed.
    for (const QFileInfo& entry : entries) {
        if (isRealFolder(entry))
            return false;
    }
    if (!canChangeEntries(folder) || !canChangeEntries(info.absolutePath()))
        return false;
    for (const QFileInfo& entry : entries) {
        if (QFile::remove(entry.absoluteFilePath()))
            keysRemoved = true;
    }
    return QDir().rmdir(folder);
}
