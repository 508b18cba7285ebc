#pragma once

#include "installed/InstalledRow.h"
#include "installed/PackageRowStyle.h"

#include <QStyledItemDelegate>

namespace ReveZE {

class Localizer;

// Paints the rows of the Installed list (InstalledRow), all of one height,
// with fonts, metrics, images and laid-out texts kept between paints.
class InstalledRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit InstalledRowDelegate(const Localizer &l, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // How many rows' texts are kept (for tests: a repaint lays none out again).
    qsizetype cachedRows() const { return m_texts.size(); }

private:
    mutable PackageRowStyle m_style;
    mutable RowTextCache<InstalledRow::Texts> m_texts;
};

} // namespace ReveZE
