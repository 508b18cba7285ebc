#include "detail/NameListView.h"

#include "detail/NameListModel.h"

#include <QWheelEvent>

namespace ReveZE {

NameListView::NameListView(NameListDelegate::Style style, QWidget *parent)
    : QListView(parent), m_model(new NameListModel(this)), m_delegate(new NameListDelegate(style, this))
{
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(false);
    // The box's surface shows through (no style sheet: one per list would
    // cost more than laying out its thousands of rows).
    viewport()->setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setModel(m_model);
    setItemDelegate(m_delegate);
    fitHeight();
}

void NameListView::setNames(const QStringList &names)
{
    m_model->setNames(names);
    fitHeight();
}

const QStringList &NameListView::names() const
{
    return m_model->names();
}

int NameListView::contentHeight() const
{
    const qsizetype rows = m_model->rowCount();
    if (rows == 0)
        return 0;
    return int(rows * m_delegate->rowHeight());
}

void NameListView::fitHeight()
{
    const int height = contentHeight() + 2 * frameWidth();
    if (this->height() != height || minimumHeight() != height)
        setFixedHeight(height);
}

QSize NameListView::sizeHint() const
{
    return {0, contentHeight() + 2 * frameWidth()};
}

QSize NameListView::minimumSizeHint() const
{
    return sizeHint();
}

void NameListView::wheelEvent(QWheelEvent *event)
{
    // The list never scrolls on its own; the page around it does.
    event->ignore();
}

} // namespace ReveZE
