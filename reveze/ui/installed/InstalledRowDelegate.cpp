#include "installed/InstalledRowDelegate.h"

#include "installed/InstalledListModel.h"
#include "installed/InstalledRow.h"

#include <QPainter>

namespace ReveZE {

InstalledRowDelegate::InstalledRowDelegate(const Localizer &l, QObject *parent)
    : QStyledItemDelegate(parent), m_l(l)
{
}

void InstalledRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const auto *model = qobject_cast<const InstalledListModel *>(index.model());
    if (!model)
        return;
    const InstalledRow row(model->packageAt(index.row()), model->isSelected(index.row()), m_l);
    row.paint(*painter, QRectF(option.rect), option.palette);
}

QSize InstalledRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {200, InstalledRow::height()};
}

} // namespace ReveZE
