#include "discover/CatalogSearch.h"

#include <QFontMetricsF>

using ZelkKit::CatalogPackage;

namespace ReveZE {

namespace {

constexpr QChar separator = QChar(0);

void appendFolded(QString &out, QStringView text)
{
    const QChar *it = text.begin();
    const QChar *end = text.end();
    while (it != end) {
        const char16_t unit = it->unicode();
        if (unit < 0x80) {
            out.append(QChar(unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit));
            ++it;
            continue;
        }
        char32_t codePoint = unit;
        if (QChar::isHighSurrogate(unit) && it + 1 != end && (it + 1)->isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(unit, (it + 1)->unicode());
            it += 2;
        } else {
            ++it;
        }
        const char32_t folded = QChar::toCaseFolded(codePoint);
        if (QChar::requiresSurrogates(folded)) {
            out.append(QChar(QChar::highSurrogate(folded)));
            out.append(QChar(QChar::lowSurrogate(folded)));
        } else {
            out.append(QChar(char16_t(folded)));
        }
    }
}

QList<int> everything(qsizetype count, const QList<int> *within)
{
    if (within)
        return *within;
    QList<int> rows(count);
    for (qsizetype i = 0; i < count; ++i)
        rows[i] = int(i);
    return rows;
}

} // namespace

QString CatalogSearch::fold(QStringView text)
{
    QString result;
    result.reserve(text.size());
    appendFolded(result, text);
    return result;
}

QString CatalogSearch::singleLine(const QString &text)
{
    for (QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            QString line = text;
            for (QChar &d : line) {
                if (d == u'\n' || d == u'\r' || d == u'\t' || d == QChar::LineSeparator
                    || d == QChar::ParagraphSeparator)
                    d = u' ';
            }
            return line;
        }
    }
    return text;
}

std::shared_ptr<CatalogFold> CatalogSearch::build(const QList<CatalogPackage> &packages,
                                                  const std::optional<QFont> &font, quint64 generation)
{
    auto fold = std::make_shared<CatalogFold>();
    fold->generation = generation;
    fold->font = font;
    qsizetype length = 0;
    for (const CatalogPackage &package : packages)
        length += package.name.size() + (package.description ? package.description->size() : 0) + 2;
    fold->text.reserve(length);
    fold->starts.reserve(packages.size() + 1);
    fold->nameEnds.reserve(packages.size());
    if (font)
        fold->descriptionWidths.reserve(packages.size());
    std::optional<QFontMetricsF> metrics;
    if (font)
        metrics.emplace(*font);
    for (const CatalogPackage &package : packages) {
        fold->starts.append(fold->text.size());
        appendFolded(fold->text, package.name);
        fold->nameEnds.append(fold->text.size());
        fold->text.append(separator);
        if (package.description)
            appendFolded(fold->text, *package.description);
        if (metrics) {
            fold->descriptionWidths.append(
                package.description ? float(metrics->horizontalAdvance(singleLine(*package.description))) : -1.0f);
        }
        fold->text.append(separator);
    }
    fold->starts.append(fold->text.size());
    return fold;
}

QList<int> CatalogSearch::matching(const CatalogFold &fold, const QString &search, const QList<int> *within)
{
    const qsizetype count = fold.size();
    if (search.isEmpty())
        return everything(count, within);
    const QString needle = CatalogSearch::fold(search);
    const QStringView text(fold.text);
    QList<int> rows;
    // A needle with a NUL in it could match across the separators: its name
    // and description are tested apart.
    const bool spansParts = needle.contains(separator);
    const auto matches = [&](qsizetype i) {
        if (!spansParts)
            return text.sliced(fold.starts[i], fold.starts[i + 1] - fold.starts[i]).contains(needle);
        const qsizetype nameEnd = fold.nameEnds[i];
        return text.sliced(fold.starts[i], nameEnd - fold.starts[i]).contains(needle)
            || text.sliced(nameEnd + 1, fold.starts[i + 1] - 1 - (nameEnd + 1)).contains(needle);
    };
    // Narrowing tests only the earlier matches; otherwise every package.
    if (within) {
        rows.reserve(within->size());
        for (int i : *within) {
            if (matches(i))
                rows.append(i);
        }
    } else {
        rows.reserve(count / 8);
        for (qsizetype i = 0; i < count; ++i) {
            if (matches(i))
                rows.append(int(i));
        }
    }
    return rows;
}

QList<int> CatalogSearch::matching(const QList<CatalogPackage> &packages, const QString &search,
                                   const QList<int> *within)
{
    if (search.isEmpty())
        return everything(packages.size(), within);
    const auto matches = [&](qsizetype i) {
        const CatalogPackage &package = packages[i];
        return package.name.contains(search, Qt::CaseInsensitive)
            || (package.description && package.description->contains(search, Qt::CaseInsensitive));
    };
    QList<int> rows;
    if (within) {
        for (int i : *within) {
            if (matches(i))
                rows.append(i);
        }
    } else {
        for (qsizetype i = 0; i < packages.size(); ++i) {
            if (matches(i))
                rows.append(int(i));
        }
    }
    return rows;
}

} // namespace ReveZE
