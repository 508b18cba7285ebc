#include "window/SidebarDelegate.h"

#include "widgets/Palette.h"
#include "window/SidebarModel.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QFontMetricsF>
#include <QPainter>

namespace ReveZE {

namespace {
constexpr qreal rowInset = 8;      // the selection's distance from the list's sides
constexpr qreal contentInset = 8;  // the content's distance from the selection's edge
constexpr qreal symbolGap = 7;
constexpr qreal selectionRadius = 6;
} // namespace

QRectF SidebarDelegate::badgeRect(const QString &text, qreal right, qreal centreY)
{
    const QFontMetricsF metrics(TextStyles::font(TextStyle::Caption2, QFont::DemiBold));
    const qreal width = metrics.horizontalAdvance(text) + 2 * 6;
    const qreal height = metrics.height() + 2 * 1;
    return {right - width, centreY - height / 2, width, height};
}

QSize SidebarDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    const QFontMetricsF metrics(TextStyles::font(TextStyle::Body));
    return {160, int(qMax(28.0, metrics.height() + 12))};
}

void SidebarDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPalette &palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    const QRectF row = QRectF(option.rect).adjusted(rowInset, 1, -rowInset, -1);
    if (selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(Palette::accent(palette));
        painter->drawRoundedRect(row, selectionRadius, selectionRadius);
    }
    // The keyboard's row while the sidebar has the focus.
    if (option.state & QStyle::State_HasFocus) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(selected ? Palette::withOpacity(Qt::white, 0.75) : Palette::withOpacity(Palette::accent(palette), 0.6),
                             2));
        painter->drawRoundedRect(row.adjusted(1, 1, -1, -1), selectionRadius - 1, selectionRadius - 1);
    }

    const QColor text = selected ? palette.color(QPalette::HighlightedText) : Palette::label(palette);
    const QFont body = TextStyles::font(TextStyle::Body);
    const qreal symbolSize = TextStyles::size(TextStyle::Body) * 1.15;
    const QFontMetricsF bodyMetrics(body);
    const qreal symbolBox = bodyMetrics.height() * 1.2;
    const QRectF symbolFrame(row.left() + contentInset, row.center().y() - symbolBox / 2, symbolBox, symbolBox);
    Symbols::paint(*painter, symbolFrame, index.data(SidebarModel::SymbolRole).toString(),
                   selected ? text : Palette::accent(palette), symbolSize);

    qreal right = row.right() - contentInset;
    const QVariant badge = index.data(SidebarModel::BadgeRole);
    if (badge.isValid()) {
        const QString badgeText = badge.toString();
        const QRectF capsule = badgeRect(badgeText, right, row.center().y());
        painter->setPen(Qt::NoPen);
        painter->setBrush(Palette::withOpacity(Palette::orange(), 0.2));
        painter->drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
        painter->setFont(TextStyles::font(TextStyle::Caption2, QFont::DemiBold));
        painter->setPen(selected ? text : Palette::orange());
        painter->drawText(capsule, Qt::AlignCenter, badgeText);
        right = capsule.left() - 6;
    }

    const qreal titleLeft = symbolFrame.right() + symbolGap;
    const QRectF titleRect(titleLeft, row.top(), qMax<qreal>(0, right - titleLeft), row.height());
    painter->setFont(body);
    painter->setPen(text);
    const QString title = bodyMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                 titleRect.width());
    painter->drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft, title);
    painter->restore();
}

} // namespace ReveZE
