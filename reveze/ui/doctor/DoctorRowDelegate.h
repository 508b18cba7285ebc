#pragma once

// Paints the rows of the Doctor list, all of one height: on the inset list's
// rounded card, the severity symbol (red octagon for an error, orange
// triangle for anything else), the check in semibold and below it the detail
// in the secondary colour, on one line (an empty detail leaves the line
// empty).
//
// The detail can be selected and copied: the current row gets a read-only
// field over its detail line (a persistent editor the list opens), which
// holds the whole detail, not the shortened one. Tab and Shift+Tab in that
// field move the focus on through the window as anywhere else; they do not
// walk the list's rows (which, on the last row, would never let the focus
// leave the list).

#include <QRectF>
#include <QStyledItemDelegate>

namespace ReveZE {

class DoctorRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Where the parts of a row go inside the row's rectangle.
    struct Geometry {
        QRectF background;
        QRectF symbol;
        QRectF check;
        QRectF detail;
    };

    using QStyledItemDelegate::QStyledItemDelegate;

    static int height();
    static Geometry geometry(const QRectF &rect);
    // The distance of the card from the list's sides.
    static constexpr qreal inset = 10;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *editor, QEvent *event) override;
};

} // namespace ReveZE
