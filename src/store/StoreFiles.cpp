#include "store/StoreFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// A link counts as an entry of its own, dangling or not.
bool present(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool isRealFolder(const QFileInfo& info) {
    return info.isDir() && !info.isSymLink();
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
    for (const QFileInfo& entry : entries) {
        if (isRealFolder(entry))
            return false;
    }
    for (const QFileInfo& entry : entries) {
        if (QFile::remove(entry.absoluteFilePath()))
            keysRemoved = true;
    }
    return QDir().rmdir(folder);
}
