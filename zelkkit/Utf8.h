#pragma once

// The one way ReveZE turns the bytes zelk writes into text: standard output
// and standard error of every run, each progress line, every JSON string
// value, and so the doctor and linked-versions lines read from standard
// output.
//
// Invalid UTF-8 never fails: each maximal subpart of an ill-formed sequence
// (the longest start of a well-formed sequence that cannot be completed, or
// else a single byte) becomes one U+FFFD. So "E2 82 41" is U+FFFD "A", a
// truncated four-byte sequence is one U+FFFD, and "C0 AF" (C0 never starts a
// sequence) or "ED A0 80" (an encoded surrogate: ED A0 starts nothing) give
// one U+FFFD per byte. A U+FEFF at the start is a character like any other;
// only the JSON layer skips one before a whole document.
//
// Valid input, nearly all of zelk's output, is checked with a vectorised
// validation and converted in one pass; the repair runs only on invalid input.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ZelkKit::Utf8 {

bool isValid(QByteArrayView bytes);

// The text of bytes, repaired as above.
QString text(QByteArrayView bytes);

// The text of bytes that are known to be valid UTF-8 (a JSON string value
// after parsing): no validation, a leading U+FEFF kept.
QString textOfValid(QByteArrayView bytes);

// The same repair kept as UTF-8: each maximal subpart becomes the three bytes
// of U+FFFD, every valid sequence stays as it is. Valid input is returned
// unchanged, without a copy.
QByteArray repaired(QByteArray bytes);

} // namespace ZelkKit::Utf8
