#include "platform/ClockText.h"

QString ClockText::date(const QDate& date) {
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString ClockText::time(const QTime& time) {
    return QStringLiteral("%1:%2:%3")
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

QString ClockText::title(const QDateTime& moment) {
    return QStringLiteral(" Wordwisp  | ") + date(moment.date()) + QStringLiteral(" - ") + time(moment.time()) +
           QStringLiteral(" |");
}
