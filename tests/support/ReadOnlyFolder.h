#pragma once

// Makes a folder refuse new, removed and renamed entries for as long as the object lives. Permission bits
// do that for ordinary users only; tests that run as root mark the folder immutable instead, which binds
// root too (ext4, xfs, btrfs). held() is false when neither works here; the test should then skip.

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : m_path(QFile::encodeName(folder)) {
        if (::geteuid() != 0) {
            m_chmod = ::chmod(m_path.constData(), 0555) == 0;
        } else {
            m_immutable = setImmutable(true);
        }
        m_held = (m_chmod || m_immutable) && !canCreateIn();
    }
    ~ReadOnlyFolder() {
        if (m_immutable)
            setImmutable(false);
        if (m_chmod)
            ::chmod(m_path.constData(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool held() const { return m_held; }

private:
    bool setImmutable(bool on) {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
    bool canCreateIn() const {
        const QByteArray probe = m_path + "/.probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
        ::unlink(probe.constData());
        return true;
    }

    QByteArray m_path;
    bool m_chmod = false;
    bool m_immutable = false;
    bool m_held = false;
};
