#include "detail/KindBadge.h"

#include "widgets/Palette.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace ReveZE {

KindBadge::KindBadge(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("kindBadge"));
    setFont(TextStyles::font(TextStyle::Caption, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void KindBadge::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize KindBadge::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(m_text))) + 2 * horizontalPadding,
            int(std::ceil(metrics.height())) + 2 * verticalPadding};
}

void KindBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule = QRectF(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::quaternaryFill(palette()));
    painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    painter.setPen(Palette::label(palette()));
    painter.setFont(font());
    painter.drawText(capsule, Qt::AlignCenter, m_text);
}

void KindBadge::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace ReveZE
