#include "detail/ValueColumnFrames.h"

#include <QEvent>
#include <QWidget>

namespace ReveZE {

void ValueColumnFrames::reduce(Value &value, Value next)
{
    value.append(std::move(next));
}

QRectF ValueColumnFrames::unionOf(const Value &frames)
{
    QRectF result;
    for (const QRectF &frame : frames)
        result = result.united(frame);
    return result;
}

ValueColumnFrames::ValueColumnFrames(QWidget *space, QObject *parent)
    : QObject(parent), m_space(space)
{
}

void ValueColumnFrames::measure(QWidget *cell)
{
    m_cells.append(cell);
    cell->installEventFilter(this);
}

ValueColumnFrames::Value ValueColumnFrames::frames() const
{
    Value value = defaultValue();
    for (const QPointer<QWidget> &cell : m_cells) {
        if (!cell || cell->isHidden())
            continue;
        // The cell's own rectangle, taken in the grid's space.
        const QPoint origin = cell->mapTo(m_space, QPoint(0, 0));
        reduce(value, {QRectF(QRect(origin, cell->size()))});
    }
    return value;
}

bool ValueColumnFrames::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        Q_EMIT framesChanged();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ReveZE
