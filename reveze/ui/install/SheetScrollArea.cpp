#include "install/SheetScrollArea.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QScrollBar>

#include <algorithm>

namespace ReveZE {

SheetScrollArea::SheetScrollArea(QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The area is only a frame around the sheet's controls: Tab goes to them.
    setFocusPolicy(Qt::NoFocus);
}

void SheetScrollArea::setHeightLimit(int limit)
{
    limit = std::max(limit, 1);
    if (m_heightLimit == limit)
        return;
    m_heightLimit = limit;
    updateGeometry();
}

int SheetScrollArea::contentHeight() const
{
    const QWidget *content = widget();
    if (!content)
        return 0;
    const QLayout *layout = content->layout();
    const int width = std::max(content->minimumWidth(), content->sizeHint().width());
    if (layout && layout->hasHeightForWidth())
        return layout->totalHeightForWidth(width);
    return content->sizeHint().height();
}

bool SheetScrollArea::scrolls() const
{
    return contentHeight() + 2 * frameWidth() > m_heightLimit;
}

QSize SheetScrollArea::sizeHint() const
{
    const QWidget *content = widget();
    if (!content)
        return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    const int width = std::max(content->minimumWidth(), content->sizeHint().width()) + frame;
    const int height = contentHeight() + frame;
    if (height <= m_heightLimit)
        return {width, height};
    return {width + verticalScrollBar()->sizeHint().width(), m_heightLimit};
}

void SheetScrollArea::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    // A shorter window keeps the control with the keyboard in view.
    QWidget *focus = QApplication::focusWidget();
    if (focus && widget() && widget()->isAncestorOf(focus))
        ensureWidgetVisible(focus);
}

bool SheetScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    // The content's layout has just taken its new size (a hint line shown, a
    // face changed): the sheet fits the area to it again.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}

} // namespace ReveZE
