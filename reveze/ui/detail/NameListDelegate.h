#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QStyledItemDelegate>

namespace ReveZE {

// Paints one name of a detail box per row: dependency entries in the
// monospaced callout font, dependents in the callout font after the
// "arrow.turn.down.right" symbol. A name wider than the row is cut with an
// ellipsis (its tooltip holds it whole). Fonts and metrics are made once.
class NameListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum class Style { Entries, Dependents };

    // Between two rows; each row holds half of it above and half below its
    // line, so that the list needs no special last row.
    static constexpr int rowSpacing = 4;

    explicit NameListDelegate(Style style, QObject *parent = nullptr);

    Style style() const { return m_style; }
    const QFont &textFont() const { return m_font; }
    // The height of one row, its share of the spacing included.
    int rowHeight() const { return m_rowHeight; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    Style m_style;
    QFont m_font;
    QFontMetricsF m_metrics;
    qreal m_symbolSize = 0;
    qreal m_symbolSide = 0;
    int m_rowHeight = 0;
};

} // namespace ReveZE
