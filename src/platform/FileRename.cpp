#include "platform/FileRename.h"

#include <QFile>
#include <QFileInfo>

#ifdef __linux__
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

#ifdef __linux__
bool sameEntry(const QByteArray& a, const QByteArray& b) {
    struct stat sa {
    }, sb{};
    return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}
#endif

} // namespace

FileRename::Result FileRename::renameNoReplace(const QString& from, const QString& to) {
#ifdef __linux__
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (!exists(source))
        return Result::Failed;
    if (from == to)
        return Result::Done;
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return Result::Done;
    if (errno == EEXIST) {
        // On a case-blind file system the new letter case of the same entry "exists" already: it is the
        // entry itself, and a plain rename is the only way to change its case.
        if (sameEntry(source, target) && QString::compare(from, to, Qt::CaseInsensitive) == 0)
            return ::rename(source.constData(), target.constData()) == 0 ? Result::Done : Result::Failed;
        return Result::TargetExists;
    }
    if (errno != EINVAL && errno != ENOSYS)
        return Result::Failed;
    // A file system without no-replace renames: check first, accepting the short race with other programs.
    if (exists(target) && !sameEntry(source, target))
        return Result::TargetExists;
    return ::rename(source.constData(), target.constData()) == 0 ? Result::Done : Result::Failed;
#else
    if (!QFileInfo::exists(from) && !QFileInfo(from).isSymLink())
        return Result::Failed;
    if (from == to)
        return Result::Done;
    const bool caseOnly = QString::compare(from, to, Qt::CaseInsensitive) == 0;
    if (!caseOnly && (QFileInfo::exists(to) || QFileInfo(to).isSymLink()))
        return Result::TargetExists;
    // QFile::rename refuses an existing target and, on Windows, performs a case-only rename in place.
    return QFile::rename(from, to) ? Result::Done : Result::Failed;
#endif
}
