#include "exchange/SourceFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr qsizetype kBomLength = 3;

// The length of the well-formed UTF-8 sequence starting at bytes[at], or 0 when it is not one. The
// ranges of the second byte rule out overlong forms, surrogates and code points above U+10FFFF.
qsizetype sequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    if (byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (qsizetype i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

QStringList sortedNames(const QString& folder, QDir::Filters kind) {
    QStringList names;
    const QFileInfoList entries = QDir(folder).entryInfoList(kind | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (!entry.isSymLink()) {
            names.append(entry.fileName());
        }
    }
    std::sort(names.begin(), names.end(), SourceFiles::byteLess);
    return names;
}

} // namespace

QString SourceFiles::missingPath(const QString& path) {
    return path + QStringLiteral(": no such file or folder");
}

bool SourceFiles::readAll(const QString& path, const QString& shown, QByteArray& bytes, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = shown + QStringLiteral(": cannot be read (") + file.errorString() + QStringLiteral(")");
        return false;
    }
    // Asked of the open file, so that a file that grows between a look and the read is still caught.
    if (file.size() > kMaxFileBytes) {
        error = shown + QStringLiteral(": too large to be a list of snippets");
        return false;
    }
    bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes) {
        error = shown + QStringLiteral(": too large to be a list of snippets");
        return false;
    }
    if (file.error() != QFileDevice::NoError) {
        error = shown + QStringLiteral(": cannot be read (") + file.errorString() + QStringLiteral(")");
        return false;
    }
    return true;
}

qsizetype SourceFiles::invalidUtf8At(QByteArrayView bytes) {
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = sequenceLength(bytes, at);
        if (length == 0) {
            return at;
        }
        at += length;
    }
    return -1;
}

QString SourceFiles::text(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8(bytes);
}

QByteArrayView SourceFiles::withoutBom(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(kBom, kBomLength)) ? bytes.sliced(kBomLength) : bytes;
}

int SourceFiles::lineAt(QByteArrayView bytes, qsizetype offset) {
    int line = 1;
    const qsizetype end = std::min(offset, bytes.size());
    for (qsizetype i = 0; i < end; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

QStringList SourceFiles::fileNames(const QString& folder) {
    return sortedNames(folder, QDir::Files);
}

QStringList SourceFiles::folderNames(const QString& folder) {
    return sortedNames(folder, QDir::Dirs);
}

bool SourceFiles::byteLess(const QString& a, const QString& b) {
    return a.toUtf8() < b.toUtf8();
}
