#pragma once

// The one table from the symbol names the screens use ("magnifyingglass",
// "puzzlepiece.fill") to glyphs of the Material Icons font, which the build
// embeds into ReveZE's resources, and the ways of drawing one.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QPaintDevice;

namespace ReveZE {

class Symbols
{
public:
    // The glyph (one character of the Material Icons font) of a symbol name;
    // the empty text for a name outside the table.
    static QString glyph(QStringView name);
    static bool contains(QStringView name);
    // Every name of the table.
    static QStringList names();

    // The family of the embedded font, loaded on first use.
    static QString family();
    // The font whose em box is `size` (points, or pixels when the
    // application font is set in pixels; see TextStyles::size).
    static QFont font(qreal size);

    // The Symbols::font size whose em box is `pixels` device-independent
    // pixels on `device`.
    static qreal sizeForPixels(qreal pixels, const QPaintDevice *device);

    // Draws the symbol centred in `frame` at `size`, rotated clockwise by
    // `rotationDegrees` about the frame's centre.
    static void paint(QPainter &painter, const QRectF &frame, QStringView name, const QColor &colour, qreal size,
                      qreal rotationDegrees = 0);

    // An icon for buttons and actions, drawn in the button text colour of the
    // application palette (greyed when disabled), so it follows dark mode.
    static QIcon icon(QStringView name);
};

} // namespace ReveZE
