#pragma once

#include <QStyledItemDelegate>

namespace ReveZE {

// Paints a sidebar row: the section's symbol and title, flexible space, and
// the badge (an orange count on a faint orange capsule) when there is one.
class SidebarDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The capsule of a badge text whose right edge is at `right`, centred on
    // `centreY`.
    static QRectF badgeRect(const QString &text, qreal right, qreal centreY);
};

} // namespace ReveZE
