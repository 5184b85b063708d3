#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Small pieces the readers of other expanders' files share: reading a file whole, checking and decoding
// its UTF-8, telling the line of a byte, and listing a folder the same way on every machine.
namespace SourceFiles {

// A source file larger than this is no list of snippets; reading it whole would only eat memory.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

// "PATH: no such file or folder", the words every reader uses for a path that is not there.
QString missingPath(const QString& path);

// Reads the file whole. On failure returns false and sets error to "SHOWN: what went wrong".
bool readAll(const QString& path, const QString& shown, QByteArray& bytes, QString& error);

// The byte offset of the first sequence that is not well-formed UTF-8 (overlong forms, surrogates and
// code points above U+10FFFF included), or -1 when all of it is well-formed.
qsizetype invalidUtf8At(QByteArrayView bytes);

// Well-formed UTF-8 as text, every character kept: QString::fromUtf8 drops a leading U+FEFF, which in a
// snippet's text is a character the user put there (the file's own byte order mark is withoutBom's job).
QString text(QByteArrayView bytes);

// The same bytes without a leading UTF-8 byte order mark.
QByteArrayView withoutBom(QByteArrayView bytes);

// The 1-based line that holds the byte at offset. LF, CR LF and CR each end one line, as editors count.
int lineAt(QByteArrayView bytes, qsizetype offset);

// The names of the real files and real folders in a folder (hidden ones included, links left out so
// that a walk never leaves the folder or goes round in a circle), sorted by their UTF-8 bytes.
QStringList fileNames(const QString& folder);
QStringList folderNames(const QString& folder);

// Orders paths by their UTF-8 bytes, which does not depend on the locale or on UTF-16 code units.
bool byteLess(const QString& a, const QString& b);

} // namespace SourceFiles
