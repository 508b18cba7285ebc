#include "widgets/FilterPill.h"

#include "widgets/Palette.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace ReveZE {

namespace {
constexpr qreal horizontalPadding = 12;
constexpr qreal verticalPadding = 5;

QFont pillFont(bool chosen)
{
    return TextStyles::font(TextStyle::Callout, chosen ? QFont::DemiBold : QFont::Normal);
}
} // namespace

FilterPill::FilterPill(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor FilterPill::textColour() const
{
    return isChecked() ? QColor(Qt::white) : Palette::zelkSecondary(palette());
}

QSize FilterPill::sizeHint() const
{
    // Measured in the semibold face, so a pill keeps its width when chosen.
    const QFontMetricsF metrics(pillFont(true));
    return {int(std::ceil(metrics.horizontalAdvance(text()) + 2 * horizontalPadding)),
            int(std::ceil(metrics.height() + 2 * verticalPadding))};
}

void FilterPill::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(pillFont(isChecked()));
    painter.setPen(textColour());
    painter.drawText(rect(), Qt::AlignCenter, text());
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Palette::withOpacity(Palette::accent(palette()), 0.6), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
    }
}

void FilterPill::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange)
        updateGeometry();
    QAbstractButton::changeEvent(event);
}

} // namespace ReveZE
