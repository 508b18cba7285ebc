#include "installed/PackageRowStyle.h"

#include "Localizer.h"
#include "widgets/PackageKindIcon.h"
#include "widgets/Palette.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QApplication>
#include <QPainter>

#include <functional>

namespace ReveZE {

namespace {

QPixmap image(qreal side, qreal ratio, const std::function<void(QPainter &)> &draw)
{
    const int pixels = qMax(1, qRound(side * ratio));
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
    return pixmap;
}

} // namespace

QStaticText preparedText(const QString &text, const QFont &font)
{
    QStaticText result(text);
    result.setTextFormat(Qt::PlainText);
    result.prepare(QTransform(), font);
    return result;
}

PackageRowStyle::PackageRowStyle(const Localizer &l)
    : m_l(l)
{
    refresh();
}

bool PackageRowStyle::refresh(qreal devicePixelRatio)
{
    if (devicePixelRatio <= 0)
        devicePixelRatio = m_ratio > 0 ? m_ratio : 1;
    const QFont base = QApplication::font();
    const bool fontChanged = !m_nameMetrics || base != m_base;
    const bool languageChanged = fontChanged || m_language != m_l.language();
    const bool ratioChanged = fontChanged || devicePixelRatio != m_ratio;
    if (!fontChanged && !languageChanged && !ratioChanged)
        return false;
    ++m_generation;

    if (fontChanged) {
        m_base = base;
        m_nameFont = TextStyles::font(TextStyle::Body, QFont::DemiBold);
        m_badgeFont = TextStyles::font(TextStyle::Caption2, QFont::DemiBold);
        m_captionFont = TextStyles::font(TextStyle::Caption);
        m_nameMetrics.emplace(m_nameFont);
        m_badgeMetrics.emplace(m_badgeFont);
        m_captionMetrics.emplace(m_captionFont);
        m_badgeHeight = m_badgeMetrics->height() + 2 * badgeVPadding;
        m_firstLine = qMax(m_nameMetrics->height(), m_badgeHeight);
        m_checkSide = m_captionMetrics->height();
    }
    if (languageChanged) {
        m_language = m_l.language();
        for (const bool dependency : {false, true}) {
            m_kindText[dependency] = m_l(dependency ? L::kindDependency : L::kindPackage);
            m_badgeText[dependency] = preparedText(m_kindText[dependency], m_badgeFont);
            m_badgeWidth[dependency] = m_badgeMetrics->horizontalAdvance(m_kindText[dependency]) + 2 * badgeHPadding;
        }
    }
    if (ratioChanged) {
        m_ratio = devicePixelRatio;
        for (const bool dependency : {false, true}) {
            m_kindIcon[dependency] = image(PackageKindIcon::frameSide, m_ratio, [dependency](QPainter &painter) {
                PackageKindIcon::paint(painter, QPointF(0, 0), dependency, 13);
            });
        }
        const qreal side = m_checkSide;
        m_check = image(side, m_ratio, [side](QPainter &painter) {
            Symbols::paint(painter, QRectF(0, 0, side, side), u"checkmark.circle.fill", Palette::green(),
                           TextStyles::size(TextStyle::Caption));
        });
    }
    return true;
}

QPointF PackageRowStyle::textTopLeft(const QRectF &line, const QFontMetricsF &metrics)
{
    return {line.left(), line.top() + (line.height() - metrics.height()) / 2};
}

void PackageRowStyle::paintSelection(QPainter &painter, const QRectF &background, const QPalette &palette) const
{
    // The accent selection first, then the row's own white veil.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::accent(palette));
    painter.drawRoundedRect(background, selectionRadius, selectionRadius);
    painter.setBrush(Palette::withOpacity(Qt::white, 0.14));
    painter.drawRoundedRect(background, selectionRadius, selectionRadius);
}

void PackageRowStyle::paintFocus(QPainter &painter, const QRectF &background, bool selected,
                                 const QPalette &palette) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(selected ? Palette::withOpacity(Qt::white, 0.75) : Palette::withOpacity(Palette::accent(palette), 0.6),
                        2));
    painter.drawRoundedRect(background.adjusted(1, 1, -1, -1), selectionRadius - 1, selectionRadius - 1);
    painter.restore();
}

void PackageRowStyle::paintKindIcon(QPainter &painter, const QPointF &topLeft, bool dependency) const
{
    painter.drawPixmap(topLeft, m_kindIcon[dependency]);
}

void PackageRowStyle::paintBadge(QPainter &painter, const QRectF &badge, bool dependency, bool selected,
                                 const QPalette &palette) const
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(selected ? Palette::withOpacity(Qt::white, 0.22) : Palette::quaternaryFill(palette));
    painter.drawRoundedRect(badge, badge.height() / 2, badge.height() / 2);
    painter.setFont(m_badgeFont);
    painter.setPen(selected ? QColor(Qt::white) : Palette::zelkSecondary(palette));
    const QSizeF size = m_badgeText[dependency].size();
    painter.drawStaticText(QPointF(badge.center().x() - size.width() / 2, badge.center().y() - size.height() / 2),
                           m_badgeText[dependency]);
}

void PackageRowStyle::paintCheck(QPainter &painter, const QRectF &frame) const
{
    painter.drawPixmap(frame.topLeft(), m_check);
}

} // namespace ReveZE
