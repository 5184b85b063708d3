#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The text a key pastes, built from the lines of its file: comment lines ("*/" at the very start) are
// left out, the rest joined by CR LF, and the placeholders "[date]" and "[time]" replaced by the moment
// of the expansion.
namespace ExpansionText {

bool isCommentLine(QStringView line);

// The kept lines in file order, joined by CR LF: nothing before the first, nothing after the last.
QString joinKeptLines(const QStringList& lines);

// Replaces "[date]" and "[time]" (exactly these, lower case) with the given texts in one pass from left
// to right; inserted text is never scanned again.
QString replacePlaceholders(QStringView text, const QString& date, const QString& time);

// The whole expansion for a key file's lines at the given moment. Date and time come from one reading
// of the clock, so an expansion at midnight cannot pair one day's date with the next day's time.
QString build(const QStringList& lines, const QDateTime& moment);

} // namespace ExpansionText
