#include "install/DangerCardButton.h"

#include "widgets/Palette.h"
#include "widgets/TextStyles.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace ReveZE {

DangerCardButton::DangerCardButton(Kind kind, QWidget *parent)
    : QAbstractButton(parent), m_kind(kind)
{
    setFont(TextStyles::font(TextStyle::Callout, kind == Kind::Filled ? QFont::DemiBold : QFont::Medium));
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void DangerCardButton::setTitle(const QString &title)
{
    if (title == text())
        return;
    setText(title);
    setAccessibleName(title);
    updateGeometry();
}

QSize DangerCardButton::sizeHint() const
{
    const QFontMetricsF metrics(font(), this);
    const qreal horizontal = m_kind == Kind::Filled ? 16 : 14;
    qreal width = metrics.horizontalAdvance(text()) + 2 * horizontal;
    if (m_kind == Kind::Outline)
        width = std::max<qreal>(width, 84);
    return {int(std::ceil(width)), int(std::ceil(metrics.height() + 2 * 7))};
}

bool DangerCardButton::hitButton(const QPoint &position) const
{
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    return shape.contains(QPointF(position));
}

void DangerCardButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor red = Palette::red();
    QColor text;
    if (m_kind == Kind::Filled) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(isDown() ? red.darker(115) : red);
        painter.drawRoundedRect(frame, cornerRadius, cornerRadius);
        text = Qt::white;
    } else {
        QColor fill = palette().color(QPalette::Button);
        if (isDown())
            fill = fill.darker(110);
        painter.setPen(QPen(Palette::withOpacity(red, 0.55), 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(frame, cornerRadius, cornerRadius);
        text = red;
    }
    if (hasFocus()) {
        painter.setPen(QPen(Palette::withOpacity(Palette::accent(palette()), 0.6), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), cornerRadius - 1, cornerRadius - 1);
    }
    painter.setFont(font());
    painter.setPen(text);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, this->text());
}

} // namespace ReveZE
