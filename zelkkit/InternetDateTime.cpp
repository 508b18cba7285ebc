#include "InternetDateTime.h"

#include <QDate>
#include <QTime>

namespace ZelkKit {

namespace {

// The ASCII digits at [position, position + width) as a number, or -1.
int digits(QStringView text, qsizetype position, qsizetype width)
{
    int value = 0;
    for (qsizetype i = position; i < position + width; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

std::optional<QDateTime> parseInternetDateTime(QStringView text)
{
    // "2024-03-09T08:15:00" is 19 characters, then "Z" or "+08:00".
    constexpr qsizetype dateTimeLength = 19;
    if (text.size() != dateTimeLength + 1 && text.size() != dateTimeLength + 6)
        return std::nullopt;
    if (text[4] != u'-' || text[7] != u'-' || text[10] != u'T' || text[13] != u':' || text[16] != u':')
        return std::nullopt;

    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2);
    const int minute = digits(text, 14, 2);
    const int second = digits(text, 17, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59
        || second < 0 || second > 59)
        return std::nullopt;
    if (day > QDate(year, month, 1).daysInMonth())
        return std::nullopt;

    int offsetSeconds = 0;
    const QStringView zone = text.sliced(dateTimeLength);
    if (zone.size() == 1) {
        if (zone[0] != u'Z')
            return std::nullopt;
    } else {
        const char16_t sign = zone[0].unicode();
        if ((sign != u'+' && sign != u'-') || zone[3] != u':')
            return std::nullopt;
        const int offsetHours = digits(zone, 1, 2);
        const int offsetMinutes = digits(zone, 4, 2);
        if (offsetHours < 0 || offsetHours > 23 || offsetMinutes < 0 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (offsetHours * 60 + offsetMinutes) * 60 * (sign == u'-' ? -1 : 1);
    }

    const QDateTime local(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
    return local.addSecs(-offsetSeconds);
}

} // namespace ZelkKit
