#include "widgets/SymbolLabel.h"

#include "widgets/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace ReveZE {

SymbolLabel::SymbolLabel(QString name, qreal size, Tint tint, QWidget *parent)
    : QWidget(parent), m_name(std::move(name)), m_size(size), m_tint(std::move(tint))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolLabel::setName(QString name)
{
    if (m_name == name)
        return;
    m_name = std::move(name);
    update();
}

void SymbolLabel::setSymbolSize(qreal size)
{
    m_size = size;
    updateGeometry();
    update();
}

void SymbolLabel::setTint(Tint tint)
{
    m_tint = std::move(tint);
    update();
}

QColor SymbolLabel::colour() const
{
    return m_tint ? m_tint(palette()) : palette().color(QPalette::WindowText);
}

void SymbolLabel::setRotation(qreal degrees)
{
    m_rotation = degrees;
    update();
}

void SymbolLabel::setFrame(qreal side)
{
    m_frame = side;
    updateGeometry();
    update();
}

QSize SymbolLabel::sizeHint() const
{
    if (m_frame > 0) {
        const int side = int(std::ceil(m_frame));
        return {side, side};
    }
    const QFontMetricsF metrics(Symbols::font(m_size), this);
    const int side = int(std::ceil(qMax(metrics.height(), metrics.horizontalAdvance(Symbols::glyph(m_name)))));
    return {side, side};
}

void SymbolLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Symbols::paint(painter, QRectF(rect()), m_name, colour(), m_size, m_rotation);
}

} // namespace ReveZE
