#pragma once

// A strict reader of RFC 3339 internet date-times, the form in which zelk
// writes install times ("installed_at").
//
// Accepted, and nothing else: YYYY-MM-DDTHH:MM:SS followed by "Z" or an
// offset "+hh:mm" / "-hh:mm", ASCII digits only, every field at its fixed
// width. Deliberately rejected:
// - fractional seconds ("…:00.5Z"), a blank or a lowercase "t" instead of
//   "T", a lowercase "z", a missing zone: the install time is shown only when
//   it is in the one exact form, never guessed from a near miss;
// - out-of-range fields: month 1-12, day 1 to the length of that month
//   (Gregorian leap years), hour 0-23, minute 0-59, second 0-59, offset hours
//   0-23 and minutes 0-59;
// - second 60 (a leap second): QDateTime cannot hold it and zelk's clock
//   never reports one;
// - year 0000, which QDate cannot represent.
// "-00:00" is read as UTC.
//
// QDateTime::fromString(…, Qt::ISODate) is not used: it accepts fractions,
// missing zones and other ISO 8601 forms.

#include <QDateTime>
#include <QStringView>

#include <optional>

namespace ZelkKit {

// The instant, as a UTC QDateTime, or no value when text is not exactly in
// the form above.
std::optional<QDateTime> parseInternetDateTime(QStringView text);

} // namespace ZelkKit
