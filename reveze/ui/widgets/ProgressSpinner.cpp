#include "widgets/ProgressSpinner.h"

#include "widgets/Palette.h"

#include <QPainter>

namespace ReveZE {

namespace {
constexpr int spokes = 12;
constexpr int stepMs = 80;
} // namespace

ProgressSpinner::ProgressSpinner(int diameter, QWidget *parent)
    : QWidget(parent), m_diameter(diameter)
{
    setFixedSize(diameter, diameter);
    setFocusPolicy(Qt::NoFocus);
    m_timer.setInterval(stepMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % spokes;
        update();
    });
}

void ProgressSpinner::showEvent(QShowEvent *event)
{
    m_timer.start();
    QWidget::showEvent(event);
}

void ProgressSpinner::hideEvent(QHideEvent *event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

void ProgressSpinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = m_diameter / 2.0;
    const qreal inner = radius * 0.45;
    const qreal width = qMax(1.5, m_diameter / 10.0);
    painter.translate(radius, radius);
    const QColor base = Palette::label(palette());
    for (int i = 0; i < spokes; ++i) {
        // The spoke at the current step is darkest; the ones behind it fade.
        const int age = (m_step - i + spokes) % spokes;
        QPen pen(Palette::withOpacity(base, 0.85 - 0.7 * age / spokes), width, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / spokes);
        painter.drawLine(QPointF(0, -inner), QPointF(0, -(radius - width / 2)));
        painter.restore();
    }
}

} // namespace ReveZE
