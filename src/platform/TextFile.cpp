#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Links followed to find the file to replace; a longer chain is a loop.
constexpr int kMaxLinkDepth = 40;
// What a new file gets: read and write for everyone the user's umask lets have them, as any file the
// user creates (rw-r--r-- under the usual umask, rw------- under a private one).
QFileDevice::Permissions newFilePermissions() {
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                           QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                           QFileDevice::ReadOther | QFileDevice::WriteOther;
#ifdef Q_OS_UNIX
    // The umask can only be read by setting it; it is put back at once.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (mask & S_IRGRP)
        permissions &= ~QFileDevice::ReadGroup;
    if (mask & S_IWGRP)
        permissions &= ~QFileDevice::WriteGroup;
    if (mask & S_IROTH)
        permissions &= ~QFileDevice::ReadOther;
    if (mask & S_IWOTH)
        permissions &= ~QFileDevice::WriteOther;
#endif
    return permissions;
}

std::filesystem::path nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Windows-1252 agrees with Latin-1 except in 0x80..0x9F; the five unassigned bytes map to themselves,
// as Windows itself does.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeCp1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = (u >= 0x80 && u < 0xA0) ? QChar(kCp1252High[u - 0x80]) : QChar(u);
    }
    return text;
}

constexpr QChar kByteOrderMark(0xFEFF);

} // namespace

QString TextFile::decode(const QByteArray& bytes) {
    // The decoder is told to keep a BOM, so that exactly one is dropped here: a second one is a character
    // of the text.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return decodeCp1252(bytes);
    if (text.startsWith(kByteOrderMark))
        text.remove(0, 1);
    return text;
}

QByteArray TextFile::encode(const QString& text) {
    // A text that begins with the BOM character would lose it to decode(); a BOM in front keeps it.
    if (text.startsWith(kByteOrderMark))
        return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

QStringList TextFile::splitLines(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start).toString());
    return lines;
}

std::optional<QString> TextFile::read(const QString& path) {
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.readAll());
}

std::optional<QStringList> TextFile::readLines(const QString& path) {
    const auto text = read(path);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

bool TextFile::writeAtomic(const QString& path, const QString& content) {
    // A link is followed, so the file it points to gets the new content and the link stays a link; a loop
    // of links is refused.
    QFileInfo target(path);
    for (int depth = 0; target.isSymLink() && depth < kMaxLinkDepth; ++depth)
        target.setFile(target.symLinkTarget());
    if (target.isSymLink() || target.isDir() || (target.exists() && !target.isWritable()))
        return false;
    const QString finalPath = target.filePath();

    // The temporary sits next to the file, so the rename stays on one file system and is atomic. Its name
    // begins with a dot: a process killed before the rename leaves a file that no listing of the store
    // shows, never a bogus key.
    QTemporaryFile file(target.path() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return false;
    const QByteArray bytes = encode(content);
    // The write is buffered: only a flush tells whether a full disk took the last bytes.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
#ifdef Q_OS_UNIX
    // On disk before the rename: a power cut must not leave the new name on an empty file.
    if (::fdatasync(file.handle()) != 0)
        return false;
#endif
    const QFileDevice::Permissions permissions = target.exists() ? target.permissions() : newFilePermissions();
    if (!file.setPermissions(permissions))
        return false;
    // Asking for the name gives the temporary one where the system created it without (O_TMPFILE).
    const QString temporaryPath = file.fileName();
    file.close();
    std::error_code error;
    // Unlike QFile::rename, this replaces an existing file, in one step.
    std::filesystem::rename(nativePath(temporaryPath), nativePath(finalPath), error);
    if (error)
        return false; // the temporary is removed with the object
    file.setAutoRemove(false);
    return true;
}
