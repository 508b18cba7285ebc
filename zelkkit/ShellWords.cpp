#include "ShellWords.h"

#include "TextSegments.h"

namespace ZelkKit {

namespace {

bool isWordSeparator(QStringView character)
{
    return character == u" " || character == u"\t" || character == u"\n";
}

} // namespace

QStringList ShellWords::split(const QString &text)
{
    enum class Quote { None, Double, Single };

    QStringList words;
    QString word;
    bool begun = false;
    bool escaped = false;
    Quote quote = Quote::None;

    for (const QStringView c : TextSegments::graphemeClusters(text)) {
        if (escaped) {
            word += c;
            begun = true;
            escaped = false;
        } else if (quote == Quote::Double) {
            if (c == u"\\")
                escaped = true;
            else if (c == u"\"")
                quote = Quote::None;
            else
                word += c;
        } else if (quote == Quote::Single) {
            if (c == u"'")
                quote = Quote::None;
            else
                word += c;
        } else if (c == u"\"") {
            quote = Quote::Double;
            begun = true;
        } else if (c == u"'") {
            quote = Quote::Single;
            begun = true;
        } else if (isWordSeparator(c)) {
            if (begun) {
                words.append(word);
                word.clear();
                begun = false;
            }
        } else {
            word += c;
            begun = true;
        }
    }
    // An unterminated quote simply ends here; a trailing escape has nothing
    // left to take and is dropped.
    if (begun)
        words.append(word);
    return words;
}

} // namespace ZelkKit
