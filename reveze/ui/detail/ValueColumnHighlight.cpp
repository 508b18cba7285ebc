#include "detail/ValueColumnHighlight.h"

#include "widgets/Palette.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace ReveZE {

ValueColumnHighlight::ValueColumnHighlight(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("valueColumnHighlight"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

QRectF ValueColumnHighlight::highlightFrame() const
{
    if (m_column.isNull())
        return {};
    return m_column.adjusted(0, -overhang, 0, overhang);
}

void ValueColumnHighlight::setColumnFrame(const QRectF &frame)
{
    if (frame == m_column)
        return;
    m_column = frame;
    const QRectF covered = highlightFrame();
    // Whole pixels that hold the whole rectangle.
    const QRect pixels(QPoint(int(std::floor(covered.left())), int(std::floor(covered.top()))),
                       QPoint(int(std::ceil(covered.right())) - 1, int(std::ceil(covered.bottom())) - 1));
    setGeometry(pixels);
    update();
}

void ValueColumnHighlight::paintEvent(QPaintEvent *)
{
    if (!isOpaque())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = highlightFrame().translated(-pos()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor grey = Palette::zelkWarmGrey();
    painter.setPen(QPen(Palette::withOpacity(grey, 0.55), 1));
    painter.setBrush(Palette::withOpacity(grey, 0.1));
    painter.drawRoundedRect(shape, cornerRadius, cornerRadius);
}

} // namespace ReveZE
