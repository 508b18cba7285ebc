#include "detail/NameListDelegate.h"

#include "widgets/Palette.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QFontDatabase>
#include <QPainter>

#include <cmath>

namespace ReveZE {

namespace {

QFont fontFor(NameListDelegate::Style style)
{
    const QFont callout = TextStyles::font(TextStyle::Callout);
    if (style == NameListDelegate::Style::Dependents)
        return callout;
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (callout.pointSizeF() > 0)
        mono.setPointSizeF(callout.pointSizeF());
    else
        mono.setPixelSize(callout.pixelSize());
    return mono;
}

constexpr qreal symbolGap = 6;

} // namespace

NameListDelegate::NameListDelegate(Style style, QObject *parent)
    : QStyledItemDelegate(parent), m_style(style), m_font(fontFor(style)), m_metrics(m_font)
{
    m_symbolSize = TextStyles::size(TextStyle::Callout) * 1.15;
    m_symbolSide = std::ceil(m_metrics.height());
    m_rowHeight = int(std::ceil(m_metrics.height())) + rowSpacing;
}

QSize NameListDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {0, m_rowHeight};
}

void NameListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString name = index.data(Qt::DisplayRole).toString();
    const QPalette &palette = option.palette;
    QRectF line(option.rect.left(), option.rect.top() + rowSpacing / 2, option.rect.width(), m_metrics.height());
    painter->save();
    if (m_style == Style::Dependents) {
        const QRectF symbol(line.left(), line.top(), m_symbolSide, line.height());
        Symbols::paint(*painter, symbol, u"arrow.turn.down.right", Palette::zelkSecondary(palette), m_symbolSize);
        line.setLeft(symbol.right() + symbolGap);
    }
    painter->setFont(m_font);
    painter->setPen(Palette::label(palette));
    const qreal room = line.width();
    if (m_metrics.horizontalAdvance(name) <= room)
        painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    else
        painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          m_metrics.elidedText(name, Qt::ElideRight, room));
    painter->restore();
}

} // namespace ReveZE
