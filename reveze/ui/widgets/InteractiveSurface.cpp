#include "widgets/InteractiveSurface.h"

#include "widgets/Palette.h"

#include <QPainter>

namespace ReveZE {

void InteractiveSurface::paint(QPainter &painter, const QRectF &rect, qreal radius, const QPalette &palette,
                               bool focused)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setBrush(Palette::surfaceFill(palette));
    painter.setPen(QPen(focused ? Palette::withOpacity(Palette::accent(palette), 0.7) : Palette::surfaceStroke(palette),
                        1));
    painter.drawRoundedRect(shape, radius, radius);
    painter.restore();
}

} // namespace ReveZE
