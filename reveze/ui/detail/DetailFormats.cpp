#include "detail/DetailFormats.h"


#include <cmath>
#include <iterator>

namespace ReveZE::DetailFormats {

namespace {

bool isChinese(const QLocale &locale)
{
    return locale.language() == QLocale::Chinese;
}

// The number with at most `decimals` decimals, trailing zeros dropped.
QString number(double value, int decimals, const QLocale &locale)
{
    QString text = locale.toString(value, 'f', decimals);
    if (decimals > 0) {
        const QString point = locale.decimalPoint();
        if (text.contains(point)) {
            while (text.endsWith(locale.zeroDigit()))
                text.chop(locale.zeroDigit().size());
            if (text.endsWith(point))
                text.chop(point.size());
        }
    }
    return text;
}

// The locale's short time of day without seconds.
QString timeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // Some locales (C among them) give seconds even in the short format.
    for (const QString &seconds : {QStringLiteral(":ss"), QStringLiteral(".ss")})
        format.remove(seconds);
    return format;
}

} // namespace

QString byteCount(qint64 bytes, const QLocale &locale)
{
    const QString byteWord = isChinese(locale) ? QStringLiteral("字节") : QString();
    if (bytes < 1000 && bytes > -1000) {
        const QString digits = locale.toString(bytes);
        if (!byteWord.isEmpty())
            return digits + QLatin1Char(' ') + byteWord;
        return digits + (bytes == 1 || bytes == -1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    }
    static const char *const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = double(bytes) / 1000.0;
    int unit = 0;
    for (;;) {
        const int decimals = unit == 0 ? 0 : unit == 1 ? 1 : 2;
        const double scale = std::pow(10.0, decimals);
        const double rounded = std::round(value * scale) / scale;
        if (std::fabs(rounded) >= 1000.0 && unit + 1 < int(std::size(units))) {
            value /= 1000.0;
            ++unit;
            continue;
        }
        return number(rounded, decimals, locale) + QLatin1Char(' ') + QLatin1String(units[unit]);
    }
}

QString installDate(const QDateTime &time, const QLocale &locale)
{
    const QDateTime local = time.toLocalTime();
    if (isChinese(locale))
        return locale.toString(local, QStringLiteral("yyyy年M月d日 HH:mm"));
    if (locale.language() == QLocale::Japanese)
        return locale.toString(local, QStringLiteral("yyyy/MM/dd H:mm"));
    if (locale.language() == QLocale::English || locale.language() == QLocale::C) {
        // The C locale reads as US English here, on a 12-hour clock.
        const QLocale english = locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                                : locale;
        const bool monthFirst = english.territory() == QLocale::UnitedStates || english.territory() == QLocale::Canada
                                || english.territory() == QLocale::Philippines;
        return english.toString(local.date(), monthFirst ? QStringLiteral("MMM d, yyyy") : QStringLiteral("d MMM yyyy"))
               + QStringLiteral(", ") + english.toString(local.time(), timeFormat(english));
    }
    return locale.toString(local.date(), QLocale::ShortFormat) + QStringLiteral(", ")
           + locale.toString(local.time(), timeFormat(locale));
}

} // namespace ReveZE::DetailFormats
