#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One category as an espanso match file: each key a match with its name as the trigger and its text as
// the replacement. Any text gives valid YAML that reads back to the same text.
namespace EspansoWriter {

struct Key {
    QString name;
    QStringList lines; // the key file's lines, comment lines already dropped
};

// The exporter's date and time variables, which the reader turns back into [date] and [time].
inline const QString kDateFormat = QStringLiteral("%m-%d-%Y");
inline const QString kTimeFormat = QStringLiteral("%H:%M:%S");

// The first line of every file written here: a file that begins otherwise is someone else's.
inline const QString kFirstLine =
    QStringLiteral("# Written by Wordwisp: one match per key, the key's name as its trigger.");

// The whole file, UTF-8 without BOM.
QByteArray document(const QList<Key>& keys);

} // namespace EspansoWriter
