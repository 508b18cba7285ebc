#pragma once

// The search of the Discover list: which packages of the index match a
// text, by name or description, in zelk's order.
//
// A package matches when its name, or its description, contains the text
// case-insensitively as Qt compares (QString::contains with
// Qt::CaseInsensitive: every code point case-folded on its own, no
// normalisation). At 100,000 packages that comparison is too slow to run per
// keystroke, so the names and descriptions are folded once per catalog (off
// the GUI thread: CatalogFoldCache) into one text, and a search folds only
// the needle and runs a plain search over it. Until the fold of a new
// catalog is ready, a search runs the case-insensitive comparison itself:
// slower, but the same answer.

#include <Models.h>

#include <QFont>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace ReveZE {

// The folded text of one catalog: per package its folded name, a NUL, its
// folded description (empty without one) and a NUL, one after another; and
// for the Discover rows, the width of each description set on one line.
struct CatalogFold {
    // Which catalog this is (CatalogFoldCache counts them).
    quint64 generation = 0;
    QString text;
    // Package i spans [starts[i], starts[i + 1]) of text; its name ends at
    // nameEnds[i].
    QList<qsizetype> starts;
    QList<qsizetype> nameEnds;
    // Each description's advance on one line in `font` (its control
    // characters as spaces); -1 without a description. Empty when the fold
    // was made without a font.
    QList<float> descriptionWidths;
    std::optional<QFont> font;

    qsizetype size() const { return nameEnds.size(); }
};

class CatalogSearch
{
public:
    // `text` with every code point case-folded on its own.
    static QString fold(QStringView text);

    // Folds a catalog and, given a font, measures its descriptions in it.
    // Safe on any thread.
    static std::shared_ptr<CatalogFold> build(const QList<ZelkKit::CatalogPackage> &packages,
                                              const std::optional<QFont> &font, quint64 generation = 0);

    // The indices of the packages that match `search` (as typed: an empty
    // text matches everything), in order. With `within`, a previous result
    // for a text that `search` contains, only those packages are tested: a
    // text that grows can only narrow the list.
    static QList<int> matching(const CatalogFold &fold, const QString &search, const QList<int> *within = nullptr);
    // The same answer without a fold: the case-insensitive comparison on the
    // records themselves.
    static QList<int> matching(const QList<ZelkKit::CatalogPackage> &packages, const QString &search,
                               const QList<int> *within = nullptr);

    // A description as one line: line breaks and tabs as spaces.
    static QString singleLine(const QString &text);
};

} // namespace ReveZE
