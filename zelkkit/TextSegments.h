#pragma once

// Small text services shared by the operation-composition code.
//
// Only the mechanics live here: cutting a text into user-perceived characters
// and reading the first scalar of one. How a character is classified is up to
// each caller, because the install sheet's two fields read text differently:
// for the extra-arguments field a blank followed by a combining mark is one
// ordinary character, for the package-name field it is a separator (its first
// scalar is a blank). Keep those rules with their owners.

#include <QList>
#include <QString>
#include <QStringView>

namespace ZelkKit::TextSegments {

// The grapheme clusters of text, in order, as views into text (so text must
// outlive the result). A carriage return followed by a line feed is one
// cluster, and so is a character followed by combining marks, an emoji ZWJ
// sequence or a flag. The empty text has no clusters.
QList<QStringView> graphemeClusters(QStringView text);

// The first Unicode scalar of text (a surrogate pair is combined; a lone
// surrogate is returned as it is); U+0000 for the empty text.
char32_t firstScalar(QStringView text);

// True when text is exactly one scalar below U+0080.
bool isAsciiCharacter(QStringView cluster);

// text without its leading and trailing spaces and tabs: the characters of
// category Separator_Space and U+0009. Line breaks (LF, CR, U+2028, ...) stay,
// unlike QString::trimmed().
QStringView trimmedSpacesAndTabs(QStringView text);

} // namespace ZelkKit::TextSegments
