#include "widgets/SymbolIconEngine.h"

#include "widgets/Symbols.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace ReveZE {

SymbolIconEngine::SymbolIconEngine(QString name)
    : m_name(std::move(name))
{
}

void SymbolIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State)
{
    const QPalette palette = QApplication::palette();
    QColor colour;
    switch (mode) {
    case QIcon::Disabled: colour = palette.color(QPalette::Disabled, QPalette::ButtonText); break;
    case QIcon::Selected: colour = palette.color(QPalette::HighlightedText); break;
    default: colour = palette.color(QPalette::ButtonText); break;
    }
    // The glyph's em box fills the icon.
    const qreal pixels = qMin(rect.width(), rect.height());
    Symbols::paint(*painter, QRectF(rect), m_name, colour, Symbols::sizeForPixels(pixels, painter->device()));
}

QPixmap SymbolIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap SymbolIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale)
{
    QPixmap pixmap(size * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pixmap;
}

QIconEngine *SymbolIconEngine::clone() const
{
    return new SymbolIconEngine(m_name);
}

QString SymbolIconEngine::key() const
{
    return QStringLiteral("ReveZE.SymbolIconEngine");
}

} // namespace ReveZE
