#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Sequential text files as the store keeps them: lines end in CR LF or a lone CR (a lone LF is an
// ordinary character of its line), UTF-8 without BOM when we write, and files from the old single-byte
// code page (Windows-1252) still read correctly.
namespace TextFile {

inline const QString kLineEnd = QStringLiteral("\r\n");

// UTF-8 when the bytes are valid UTF-8 (one leading BOM is dropped), Windows-1252 otherwise.
QString decode(const QByteArray& bytes);
// UTF-8 without BOM, unless the text itself begins with the BOM character: then a BOM comes first, so
// that decode() gives the text back whole.
QByteArray encode(const QString& text);

// Splits text into lines. A line ends at CR LF or a lone CR; the final line may lack its end. The
// empty text has no lines.
QStringList splitLines(QStringView text);

// Reads the whole file; nothing when it is missing, unreadable or not a regular file.
std::optional<QString> read(const QString& path);
std::optional<QStringList> readLines(const QString& path);

// Replaces the file's content through a temporary file and an atomic rename, so that a crash or a full
// disk leaves either the old or the new content, never a mix. The temporary's name begins with a dot, so
// one left behind by a crash is never listed as a key. A link is followed and stays a link. False when
// anything failed.
bool writeAtomic(const QString& path, const QString& content);

} // namespace TextFile
