#include "TextSegments.h"

#include <QChar>
#include <QTextBoundaryFinder>

namespace ZelkKit::TextSegments {

QList<QStringView> graphemeClusters(QStringView text)
{
    QList<QStringView> clusters;
    if (text.isEmpty())
        return clusters;
    // This constructor reads the characters in place instead of copying them.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > start; end = finder.toNextBoundary()) {
        clusters.append(text.sliced(start, end - start));
        start = end;
    }
    // The finder always reports the end of the text as a boundary; should it
    // ever stop early, the rest still counts as one character so that no input
    // is lost.
    if (start < text.size())
        clusters.append(text.sliced(start));
    return clusters;
}

char32_t firstScalar(QStringView text)
{
    if (text.isEmpty())
        return U'\0';
    const QChar first = text.front();
    if (first.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate())
        return QChar::surrogateToUcs4(first, text[1]);
    return first.unicode();
}

bool isAsciiCharacter(QStringView cluster)
{
    return cluster.size() == 1 && cluster.front().unicode() < 0x80;
}

namespace {
bool isSpaceOrTab(QChar c)
{
    // Every Separator_Space character lies in the BMP, so one code unit at a
    // time is exact.
    return c == u'\t' || c.category() == QChar::Separator_Space;
}
} // namespace

QStringView trimmedSpacesAndTabs(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text[begin]))
        ++begin;
    while (end > begin && isSpaceOrTab(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace ZelkKit::TextSegments
