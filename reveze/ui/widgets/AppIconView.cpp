#include "widgets/AppIconView.h"

#include "widgets/AppIcon.h"
#include "widgets/Palette.h"
#include "widgets/Symbols.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace ReveZE {

AppIconView::AppIconView(qreal size, QWidget *parent)
    : QWidget(parent), m_size(size), m_image(AppIcon::image())
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int side = int(std::ceil(size));
    setFixedSize(side, side);
}

void AppIconView::setOpacity(qreal opacity)
{
    m_opacity = opacity;
    update();
}

QString AppIconView::fallbackSymbol()
{
    return QStringLiteral("shippingbox.fill");
}

QSize AppIconView::sizeHint() const
{
    const int side = int(std::ceil(m_size));
    return {side, side};
}

void AppIconView::paint(QPainter &painter, const QRectF &square, const QImage *image, const QColor &accent)
{
    const qreal size = qMin(square.width(), square.height());
    const QRectF frame(square.center() - QPointF(size / 2, size / 2), QSizeF(size, size));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (image) {
        QPainterPath clip;
        clip.addRoundedRect(frame, 0.22 * size, 0.22 * size);
        painter.setClipPath(clip);
        QSizeF fitted = QSizeF(image->size()).scaled(frame.size(), Qt::KeepAspectRatio);
        const QRectF target(frame.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
        painter.drawImage(target, *image);
    } else {
        Symbols::paint(painter, frame, fallbackSymbol(), accent, Symbols::sizeForPixels(0.8 * size, painter.device()));
    }
    painter.restore();
}

void AppIconView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(m_opacity);
    paint(painter, QRectF(QPointF(0, 0), QSizeF(m_size, m_size)), m_image, Palette::accent(palette()));
}

} // namespace ReveZE
