#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The fixed-width date and time texts the program shows and inserts, independent of regional settings.
namespace ClockText {
// Month, day and year: "12-08-2026" for 8 December 2026.
QString date(const QDate& date);
// 24-hour clock with seconds: "14:05:09".
QString time(const QTime& time);
// The time as the regional settings write it, with seconds and without a time zone: "2:05:09 PM" in the
// United States, "14:05:09" in Germany.
QString regionalTime(const QTime& time, const QLocale& locale = QLocale());
// " Wordwisp  | 12-08-2026 - 14:05:09 |", the text of the title label.
QString title(const QDateTime& moment);
} // namespace ClockText
