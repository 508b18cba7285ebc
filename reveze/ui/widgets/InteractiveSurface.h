#pragma once

#include <QPalette>
#include <QRectF>

class QPainter;

namespace ReveZE {

// The translucent rounded surface behind the search bar and the filter
// pills: a faint fill of the label colour with a hairline edge, readable on
// light and dark windows alike.
class InteractiveSurface
{
public:
    static void paint(QPainter &painter, const QRectF &rect, qreal radius, const QPalette &palette,
                      bool focused = false);
};

} // namespace ReveZE
