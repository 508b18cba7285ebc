#include "install/DialogButton.h"

#include "install/InstallStyle.h"
#include "widgets/Palette.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace ReveZE {

namespace {
constexpr qreal horizontalPadding = 10;
constexpr qreal verticalPadding = 3;
constexpr qreal spacing = 4;
} // namespace

DialogButton::DialogButton(QString title, std::optional<QString> hint, Tone tone, QWidget *parent)
    : QAbstractButton(parent), m_hint(std::move(hint)), m_tone(tone)
{
    setText(title);
    setFont(TextStyles::font(TextStyle::Callout));
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::ArrowCursor);
    updateAccessibility();
}

void DialogButton::setTitle(const QString &title)
{
    if (title == text())
        return;
    setText(title);
    updateAccessibility();
    updateGeometry();
}

void DialogButton::setHint(std::optional<QString> hint)
{
    if (hint == m_hint)
        return;
    m_hint = std::move(hint);
    updateAccessibility();
    updateGeometry();
    update();
}

void DialogButton::setTone(Tone tone)
{
    if (tone == m_tone)
        return;
    m_tone = tone;
    update();
}

QColor DialogButton::toneColour() const
{
    return m_tone == Tone::Confirm ? InstallStyle::blue() : Palette::red();
}

QColor DialogButton::titleColour() const
{
    return isEnabled() ? toneColour() : Palette::zelkSecondary(palette());
}

std::optional<QColor> DialogButton::hintColour() const
{
    if (!m_hint)
        return std::nullopt;
    return Palette::withOpacity(titleColour(), 0.55);
}

QColor DialogButton::borderColour() const
{
    return isEnabled() ? toneColour() : Palette::withOpacity(Palette::zelkSecondary(palette()), 0.4);
}

QSize DialogButton::sizeHint() const
{
    const QFontMetricsF metrics(font(), this);
    qreal width = metrics.horizontalAdvance(text());
    if (m_hint)
        width += spacing + metrics.horizontalAdvance(*m_hint);
    return {int(std::ceil(width + 2 * horizontalPadding)), int(std::ceil(metrics.height() + 2 * verticalPadding))};
}

bool DialogButton::hitButton(const QPoint &position) const
{
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    return shape.contains(QPointF(position));
}

void DialogButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        update();
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QAbstractButton::changeEvent(event);
}

void DialogButton::updateAccessibility()
{
    setAccessibleName(text());
    setAccessibleDescription(m_hint.value_or(QString()));
}

void DialogButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::withOpacity(titleColour(), 0.12));
        painter.drawRoundedRect(frame, cornerRadius, cornerRadius);
    }
    if (hasFocus()) {
        painter.setPen(QPen(Palette::withOpacity(Palette::accent(palette()), 0.5), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame, cornerRadius, cornerRadius);
    }
    painter.setPen(QPen(borderColour(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame, cornerRadius, cornerRadius);

    // Title and hint, one row, centred as a block.
    const QFontMetricsF metrics(font(), this);
    const qreal titleWidth = metrics.horizontalAdvance(text());
    const qreal hintWidth = m_hint ? metrics.horizontalAdvance(*m_hint) : 0;
    const qreal total = titleWidth + (m_hint ? spacing + hintWidth : 0);
    qreal x = (width() - total) / 2;
    const qreal baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    painter.setFont(font());
    painter.setPen(titleColour());
    painter.drawText(QPointF(x, baseline), text());
    if (m_hint) {
        x += titleWidth + spacing;
        painter.setPen(*hintColour());
        painter.drawText(QPointF(x, baseline), *m_hint);
    }
}

} // namespace ReveZE
