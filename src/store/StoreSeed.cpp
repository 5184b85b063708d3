#include "store/StoreSeed.h"

#include "platform/FileRename.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
// Copies the tree below `from` into the (existing, empty) folder `to`. Copied files belong to the user
// and may be edited, whatever the permissions of the installed example were.
bool copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.isSymLink())
            continue;
        const QString target = to + u'/' + source.relativeFilePath(entry.filePath());
        if (entry.isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (entry.isFile()) {
            if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(entry.filePath(), target))
                return false;
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    return true;
}
} // namespace

StoreSeed::Result StoreSeed::seed(const QString& exampleRoot, const QString& applicationFolder) {
    const QString root = QDir(applicationFolder).filePath(QStringLiteral("Db"));
    if (QFileInfo(root).exists() || QFileInfo(root).isSymLink())
        return Result::AlreadyThere;
    if (exampleRoot.isEmpty() || !QFileInfo(exampleRoot).isDir())
        return Result::NoExample;
    if (!QDir().mkpath(applicationFolder))
        return Result::Failed;

    QTemporaryDir staging(QDir(applicationFolder).filePath(QStringLiteral(".Db-seed-XXXXXX")));
    if (!staging.isValid() || !copyTree(exampleRoot, staging.path()))
        return Result::Failed;
    // The staging folder is private (0700); the store itself gets the usual permissions.
    QFile::setPermissions(staging.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    switch (FileRename::renameNoReplace(staging.path(), root)) {
    case FileRename::Result::Done:
        staging.setAutoRemove(false);
        return Result::Seeded;
    case FileRename::Result::TargetExists:
        return Result::AlreadyThere;
    case FileRename::Result::Failed:
        break;
    }
    return Result::Failed;
}
