#include "exchange/NewKeyFiles.h"

#include "platform/FileRename.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Read and write for all that the umask allows, as any file the user makes; mkstemp gives the owner alone.
constexpr mode_t kNewFileMode = 0666;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}
} // namespace

NewKeyFiles::~NewKeyFiles() {
    discard();
}

void NewKeyFiles::discard() {
    for (const Staged& entry : m_staged)
        ::unlink(QFile::encodeName(entry.temporary).constData());
    m_staged.clear();
}

bool NewKeyFiles::stage(const QString& path, const QByteArray& content) {
    const QFileInfo info(path);
    // A leading dot: a temporary left by a crash is never listed as a key.
    QByteArray pattern =
        QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        m_error = systemError();
        return false;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool written = ::fchmod(fd, kNewFileMode & ~mask) == 0 && writeAll(fd, content);
    if (!written)
        m_error = systemError();
    // A full disk may show only when the file is closed (network file systems).
    if (::close(fd) != 0 && written) {
        m_error = systemError();
        written = false;
    }
    if (!written) {
        ::unlink(pattern.constData());
        return false;
    }
    m_staged.append({QFile::decodeName(pattern), path});
    return true;
}

QList<NewKeyFiles::Result> NewKeyFiles::commit() {
    QList<Result> results;
    if (m_staged.isEmpty())
        return results;
    // One sync of the file system that holds the keys puts every staged byte on disk before any key takes
    // its name: a power cut never leaves a name on an empty file.
    QStringList folders;
    for (const Staged& entry : m_staged) {
        const QString folder = QFileInfo(entry.path).path();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    bool synced = true;
    for (const QString& path : folders) {
        const int folder = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        synced = synced && folder >= 0 && ::syncfs(folder) == 0;
        if (!synced)
            m_error = systemError();
        if (folder >= 0)
            ::close(folder);
    }
    if (!synced) {
        for (const Staged& entry : m_staged)
            results.append({entry.path, Placed::Failed});
        discard();
        return results;
    }
    for (const Staged& entry : m_staged) {
        Placed placed = Placed::Done;
        switch (FileRename::renameNoReplace(entry.temporary, entry.path)) {
        case FileRename::Result::Done:
            break;
        case FileRename::Result::TargetExists:
            placed = Placed::Exists;
            break;
        case FileRename::Result::Failed:
            placed = Placed::Failed;
            m_error = systemError();
            break;
        }
        if (placed != Placed::Done)
            ::unlink(QFile::encodeName(entry.temporary).constData());
        results.append({entry.path, placed});
    }
    m_staged.clear();
    return results;
}
