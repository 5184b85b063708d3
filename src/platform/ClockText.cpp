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

QString ClockText::regionalTime(const QTime& time, const QLocale& locale) {
    // The long format is the one with seconds; it ends in the time zone ("t"), which a time pasted into a
    // letter does not want. Quoted text in the format is kept as it is.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            withoutZone += c;
    }
    return locale.toString(time, withoutZone.trimmed());
}
