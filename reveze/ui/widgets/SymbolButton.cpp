#include "widgets/SymbolButton.h"

#include "widgets/Palette.h"
#include "widgets/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace ReveZE {

SymbolButton::SymbolButton(QString symbol, qreal size, SymbolLabel::Tint tint, QWidget *parent)
    : QAbstractButton(parent), m_symbol(std::move(symbol)), m_size(size), m_tint(std::move(tint))
{
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor SymbolButton::colour() const
{
    return m_tint ? m_tint(palette()) : Palette::label(palette());
}

QSize SymbolButton::sizeHint() const
{
    const QFontMetricsF metrics(Symbols::font(m_size), this);
    const int side = int(std::ceil(metrics.height()));
    return {side, side};
}

void SymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QColor tint = colour();
    if (isDown())
        tint = Palette::withOpacity(tint, 0.6);
    Symbols::paint(painter, QRectF(rect()), m_symbol, tint, m_size);
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Palette::withOpacity(Palette::accent(palette()), 0.6), 2));
        painter.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

} // namespace ReveZE
