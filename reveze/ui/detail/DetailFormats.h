#pragma once

// How the detail writes a size and an install time: in the user's locale (the
// system's, not the interface language), as a desktop's file manager does.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ReveZE::DetailFormats {

// A size in decimal units (1 KB = 1000 bytes): "1 byte", "999 bytes",
// "1 KB", "2 KB" for 1500 bytes, "1.5 MB", "1.23 GB". Kilobytes are whole,
// megabytes carry one decimal and larger units two, trailing zeros dropped; a
// value that rounds up to 1000 of a unit is written in the next one. Digits
// and the decimal separator are the locale's.
QString byteCount(qint64 bytes, const QLocale &locale);

// A point in time in the local time zone as an abbreviated date and a short
// time of day (no seconds): "Mar 9, 2024, 8:15 AM", "2024年3月9日 08:15".
QString installDate(const QDateTime &time, const QLocale &locale);

} // namespace ReveZE::DetailFormats
