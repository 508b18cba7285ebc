#pragma once

#include "discover/DiscoverRow.h"
#include "installed/PackageRowStyle.h"

#include <QStyledItemDelegate>

#include <vector>

class QListView;

namespace ReveZE {

class DiscoverListModel;
class Localizer;

// Paints the rows of the Discover list (DiscoverRow) and answers their
// heights. The list lays out every row on each reset, so a height is a
// lookup: how many lines each package's description takes is worked out
// for all packages once per text width, from the one-line widths the fold
// measured (before the fold is ready, from the description's length at the
// font's average character width; the list is laid out again when the fold
// arrives).
class DiscoverRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    DiscoverRowDelegate(const Localizer &l, QListView *list);

    // Rows are at least this wide (the list widens them to its viewport).
    static constexpr int minimumRowWidth = 200;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // How many lines the description of package `packageIndex` takes at the
    // list's present width.
    int lines(const DiscoverListModel &model, int packageIndex) const;
    // Whether the lines at `width` would differ from the ones laid out.
    bool linesWouldChange(const DiscoverListModel &model, int rowWidth) const;
    const PackageRowStyle &style() const { return m_style; }
    qsizetype cachedRows() const { return m_texts.size(); }

private:
    void updateLines(const DiscoverListModel &model, int rowWidth) const;
    void computeLines(const DiscoverListModel &model, int rowWidth, std::vector<quint8> &out) const;

    QListView *m_list;
    mutable PackageRowStyle m_style;
    mutable RowTextCache<DiscoverRow::Texts> m_texts;
    // Per package: its description's lines at m_linesWidth.
    mutable std::vector<quint8> m_lines;
    mutable int m_linesWidth = -1;
    mutable quint64 m_linesStyle = 0;
    mutable quint64 m_linesRecords = ~quint64(0);
    mutable const void *m_linesFold = nullptr;
    mutable int m_heights[3] = {0, 0, 0};
};

} // namespace ReveZE
