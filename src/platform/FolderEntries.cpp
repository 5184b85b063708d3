#include "platform/FolderEntries.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#ifdef Q_OS_UNIX
namespace {
// Most file systems tell an entry's kind with its name; the others (some network and FUSE ones) answer
// DT_UNKNOWN, and only then is the entry's status read, without following a link.
bool isKind(int folderFd, const dirent* entry, FolderEntries::Kind kind) {
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
        struct stat st {};
        if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    return type == (kind == FolderEntries::Kind::Folders ? DT_DIR : DT_REG);
}

// Names are UTF-8; nearly all are plain ASCII, which reads as Latin-1 many times faster than through the
// UTF-8 decoder, with the same result.
QString decodeName(const char* name) {
    const std::size_t length = std::strlen(name);
    const bool ascii = std::all_of(name, name + length, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? QString::fromLatin1(name, qsizetype(length)) : QFile::decodeName(name);
}
} // namespace
#endif

QStringList FolderEntries::names(const QString& folder, Kind kind) {
    QStringList names;
    if (folder.isEmpty())
        return names;
#ifdef Q_OS_UNIX
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        // Hidden entries, "." and ".." among them: other programs' temporaries are no keys.
        if (entry->d_name[0] == '.' || !isKind(fd, entry, kind))
            continue;
        names.append(decodeName(entry->d_name));
    }
    ::closedir(dir);
#else
    const QDir::Filters filter = kind == Kind::Folders ? QDir::Dirs : QDir::Files;
    names = QDir(folder).entryList(filter | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Unsorted);
#endif
    return names;
}
