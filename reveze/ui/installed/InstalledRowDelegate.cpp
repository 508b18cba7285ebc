#include "installed/InstalledRowDelegate.h"

#include "installed/InstalledListModel.h"

#include <QPainter>

namespace ReveZE {

InstalledRowDelegate::InstalledRowDelegate(const Localizer &l, QObject *parent)
    : QStyledItemDelegate(parent), m_style(l)
{
}

void InstalledRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const auto *model = qobject_cast<const InstalledListModel *>(index.model());
    if (!model)
        return;
    m_style.refresh(painter->device() ? painter->device()->devicePixelRatioF() : 1);
    m_texts.validate(m_style.generation(), option.rect.width(), model->packagesGeneration());
    const int key = model->packageIndexAt(index.row());
    const QRectF rect(option.rect);
    const InstalledRow row(model->packageAt(index.row()), model->isSelected(index.row()), m_style);
    const InstalledRow::Texts *texts = m_texts.find(key);
    if (!texts)
        texts = &m_texts.insert(key, row.texts(rect));
    row.paint(*painter, rect, option.palette, *texts);
    if (option.state & QStyle::State_HasFocus)
        m_style.paintFocus(*painter, PackageRowStyle::background(rect), model->isSelected(index.row()), option.palette);
}

QSize InstalledRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    m_style.refresh();
    return {200, InstalledRow::height(m_style)};
}

} // namespace ReveZE
