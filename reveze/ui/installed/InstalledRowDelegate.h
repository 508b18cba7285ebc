#pragma once

#include <QStyledItemDelegate>

namespace ReveZE {

class Localizer;

// Paints the rows of the Installed list (InstalledRow), all of one height.
class InstalledRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit InstalledRowDelegate(const Localizer &l, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const Localizer &m_l;
};

} // namespace ReveZE
