#include "PackageNameRules.h"

#include "TextSegments.h"

#include <QChar>

namespace ZelkKit::PackageNameRules {

namespace {

bool isSeparator(QStringView character)
{
    // QChar::isSpace(char32_t) is the White_Space property, also for a first
    // scalar outside the BMP.
    return character == u"," || QChar::isSpace(TextSegments::firstScalar(character));
}

bool isAsciiLetterOrDigit(QStringView character)
{
    if (!TextSegments::isAsciiCharacter(character))
        return false;
    const char16_t c = character.front().unicode();
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool isNameCharacter(QStringView character)
{
    return isAsciiLetterOrDigit(character)
        || (TextSegments::isAsciiCharacter(character) && allowedPunctuation.contains(character.front()));
}

} // namespace

bool isAllowed(QStringView character)
{
    return isSeparator(character) || isNameCharacter(character);
}

QStringList entries(const QString &text)
{
    QStringList result;
    qsizetype pieceStart = 0;
    qsizetype offset = 0;
    for (const QStringView c : TextSegments::graphemeClusters(text)) {
        if (isSeparator(c)) {
            if (offset > pieceStart)
                result.append(text.sliced(pieceStart, offset - pieceStart));
            pieceStart = offset + c.size();
        }
        offset += c.size();
    }
    if (offset > pieceStart)
        result.append(text.sliced(pieceStart, offset - pieceStart));
    return result;
}

QList<Problem> problems(const QString &text)
{
    QList<Problem> result;
    qsizetype position = 0;
    for (const QStringView c : TextSegments::graphemeClusters(text)) {
        if (!isAllowed(c))
            result.append(Problem{c.toString(), position});
        ++position;
    }
    return result;
}

bool startsBadly(const QString &name)
{
    const QList<QStringView> characters = TextSegments::graphemeClusters(name);
    if (characters.isEmpty())
        return false;
    return !isAsciiLetterOrDigit(characters.front());
}

bool isValid(const QString &text)
{
    const QStringList names = entries(text);
    if (names.isEmpty())
        return false;
    if (!problems(text).isEmpty())
        return false;
    for (const QString &name : names) {
        if (startsBadly(name))
            return false;
    }
    return true;
}

bool hasProblem(const QString &text)
{
    if (entries(text).isEmpty())
        return false;
    return !isValid(text);
}

} // namespace ZelkKit::PackageNameRules
