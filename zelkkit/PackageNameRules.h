#pragma once

// What the install sheet accepts in its package-name field, and exactly which
// characters it refuses, so that the sheet can highlight them.
//
// The field may hold several names separated by commas or white space. Every
// test is made on one user-perceived character (grapheme cluster) as a whole:
//
// - separator: a comma, or a character whose first scalar has the Unicode
//   White_Space property (a carriage return followed by a line feed is one
//   separator, and so is a blank followed by a combining mark);
// - name character: an ASCII letter or digit, or one of allowedPunctuation,
//   each a single scalar. Letters of other scripts and accented letters
//   (whether precomposed or written with a combining mark) are refused.
//
// Nothing is said about length, case or the placement of "@": "a@@1" and
// "x.." are valid names.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace ZelkKit::PackageNameRules {

// The punctuation a name may contain besides ASCII letters and digits.
inline constexpr QStringView allowedPunctuation = u"._+-@";

// One refused character of the typed text.
struct Problem {
    // The refused user-perceived character, as typed.
    QString character;
    // Its 0-based index among the user-perceived characters of the whole text
    // as typed, separators included.
    qsizetype position = 0;

    friend bool operator==(const Problem &, const Problem &) = default;
};

// character is one grapheme cluster. True for a separator and for a name
// character; false for everything else.
bool isAllowed(QStringView character);

// The pieces of text between runs of separators, in order and unchanged;
// empty pieces are dropped.
QStringList entries(const QString &text);

// One problem for each character that isAllowed() refuses, in order.
QList<Problem> problems(const QString &text);

// True when name does not start with an ASCII letter or digit (a leading
// punctuation character or a non-ASCII character starts badly); false for the
// empty name.
bool startsBadly(const QString &name);

// True when text has at least one entry, no problem, and no entry that starts
// badly.
bool isValid(const QString &text);

// False while nothing has been typed (no entries); otherwise !isValid(text).
bool hasProblem(const QString &text);

} // namespace ZelkKit::PackageNameRules
