#include "widgets/ToggleSwitch.h"

#include "widgets/Palette.h"

#include <QPainter>

namespace ReveZE {

ToggleSwitch::ToggleSwitch(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ToggleSwitch::sizeHint() const
{
    return {30, 18};
}

bool ToggleSwitch::hitButton(const QPoint &position) const
{
    return rect().contains(position);
}

void ToggleSwitch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? Palette::accent(palette()) : Palette::withOpacity(Palette::label(palette()), 0.2));
    painter.drawRoundedRect(track, radius, radius);
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Palette::withOpacity(Palette::accent(palette()), 0.6), 2));
        painter.drawRoundedRect(track.adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
        painter.setPen(Qt::NoPen);
    }
    const qreal knob = track.height() - 3;
    const qreal x = isChecked() ? track.right() - 1.5 - knob : track.left() + 1.5;
    const QRectF knobRect(x, track.top() + 1.5, knob, knob);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(knobRect.translated(0, 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect);
}

} // namespace ReveZE
