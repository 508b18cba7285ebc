#pragma once

#include <QString>
#include <QStringList>

namespace ZelkKit {

// Splits the free text of the install sheet's extra-arguments field into the
// words that are passed to zelk, with a small shell-like syntax:
//
// - words are separated by runs of blanks, tabs and line feeds;
// - '...' keeps everything literally up to the next single quote;
// - "..." keeps everything too, except that a backslash takes the next
//   character literally (any character, and the backslash is dropped);
// - outside double quotes a backslash is an ordinary character;
// - an opened quote begins a word, so '' is one empty word, and quoted and
//   unquoted pieces that touch make one word;
// - an unterminated quote ends the last word at the end of the text.
//
// The text is read in user-perceived characters (grapheme clusters) and each
// is compared as a whole with the special characters, so a quote, backslash
// or blank followed by a combining mark is an ordinary character, and so is a
// carriage return followed by a line feed. A carriage return alone, a no-break
// space and all other white space are ordinary too.
//
// split() is total: every text gives a list of words, possibly empty.
class ShellWords
{
public:
    ShellWords() = delete;

    static QStringList split(const QString &text);
};

} // namespace ZelkKit
