#include "installed/InstalledRow.h"

#include "Localizer.h"
#include "widgets/PackageKindIcon.h"
#include "widgets/Palette.h"
#include "widgets/TextStyles.h"

#include <QPainter>

#include <cmath>

using ZelkKit::InstalledDetail;

namespace ReveZE {

using S = PackageRowStyle;

InstalledRow::InstalledRow(const InstalledDetail &package, bool isSelected, const PackageRowStyle &style)
    : m_package(package), m_isSelected(isSelected), m_style(style)
{
}

InstalledRow::InstalledRow(const InstalledDetail &package, bool isSelected, const Localizer &l)
    : m_package(package), m_isSelected(isSelected), m_ownStyle(std::make_unique<PackageRowStyle>(l)),
      m_style(*m_ownStyle)
{
}

InstalledRow::~InstalledRow() = default;

int InstalledRow::height(const PackageRowStyle &style)
{
    const qreal content = qMax(S::iconTopPadding + PackageKindIcon::frameSide,
                               style.firstLineHeight() + S::lineGap + style.captionMetrics().height());
    return int(std::ceil(2 * (S::listPadding + S::rowPadding) + content));
}

int InstalledRow::height()
{
    const QFontMetricsF name(TextStyles::font(TextStyle::Body, QFont::DemiBold));
    const QFontMetricsF badge(TextStyles::font(TextStyle::Caption2, QFont::DemiBold));
    const QFontMetricsF caption(TextStyles::font(TextStyle::Caption));
    const qreal firstLine = qMax(name.height(), badge.height() + 2 * S::badgeVPadding);
    const qreal content =
        qMax(S::iconTopPadding + PackageKindIcon::frameSide, firstLine + S::lineGap + caption.height());
    return int(std::ceil(2 * (S::listPadding + S::rowPadding) + content));
}

bool InstalledRow::isDependency() const
{
    return m_package.kind == InstalledDetail::Kind::Dependency;
}

QString InstalledRow::kindText() const
{
    return m_style.kindText(isDependency());
}

QString InstalledRow::versionText() const
{
    return QLatin1Char('v') + m_package.version;
}

QColor InstalledRow::nameColour(const QPalette &palette) const
{
    return m_isSelected ? QColor(Qt::white) : Palette::label(palette);
}

QColor InstalledRow::versionColour(const QPalette &palette) const
{
    return m_isSelected ? QColor(Qt::white) : Palette::zelkSecondary(palette);
}

QString InstalledRow::accessibleText() const
{
    return m_package.name + QStringLiteral(", ") + kindText() + QStringLiteral(", ") + versionText();
}

InstalledRow::Geometry InstalledRow::geometry(const QRectF &rect) const
{
    return geometry(rect, m_style.nameMetrics().horizontalAdvance(m_package.name));
}

InstalledRow::Geometry InstalledRow::geometry(const QRectF &rect, qreal nameAdvance) const
{
    Geometry g;
    g.background = S::background(rect);
    const qreal top = rect.top() + S::listPadding + S::rowPadding;
    const qreal left = g.background.left() + S::contentInset;
    g.icon = QRectF(left, top + S::iconTopPadding, PackageKindIcon::frameSide, PackageKindIcon::frameSide);

    const qreal column = g.icon.right() + S::columnGap;
    const qreal right = g.background.right() - S::contentInset;
    const qreal line = m_style.firstLineHeight();
    const qreal nameHeight = m_style.nameMetrics().height();
    const qreal badgeWidth = m_style.badgeWidth(isDependency());
    const qreal badgeHeight = m_style.badgeHeight();
    const qreal checkSide = m_package.linked ? m_style.checkSide() : 0;
    const qreal trailing = badgeWidth + S::itemGap + (m_package.linked ? checkSide + S::itemGap : 0);
    const qreal nameWidth = qMin(nameAdvance, qMax<qreal>(0, right - column - trailing));
    g.name = QRectF(column, top + (line - nameHeight) / 2, nameWidth, nameHeight);
    g.badge = QRectF(g.name.right() + S::itemGap, top + (line - badgeHeight) / 2, badgeWidth, badgeHeight);
    if (m_package.linked)
        g.check = QRectF(g.badge.right() + S::itemGap, top + (line - checkSide) / 2, checkSide, checkSide);
    g.version = QRectF(column, top + line + S::lineGap, qMax<qreal>(0, right - column),
                       m_style.captionMetrics().height());
    return g;
}

InstalledRow::Texts InstalledRow::texts(const QRectF &rect) const
{
    Texts texts;
    texts.nameAdvance = m_style.nameMetrics().horizontalAdvance(m_package.name);
    const Geometry g = geometry(rect, texts.nameAdvance);
    texts.name = preparedText(
        m_style.nameMetrics().elidedText(m_package.name, Qt::ElideRight, g.name.width() + 0.5), m_style.nameFont());
    texts.version = preparedText(
        m_style.captionMetrics().elidedText(versionText(), Qt::ElideRight, g.version.width()), m_style.captionFont());
    return texts;
}

void InstalledRow::paint(QPainter &painter, const QRectF &rect, const QPalette &palette) const
{
    paint(painter, rect, palette, texts(rect));
}

void InstalledRow::paint(QPainter &painter, const QRectF &rect, const QPalette &palette, const Texts &texts) const
{
    const Geometry g = geometry(rect, texts.nameAdvance);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_isSelected)
        m_style.paintSelection(painter, g.background, palette);
    m_style.paintKindIcon(painter, g.icon.topLeft(), isDependency());

    painter.setFont(m_style.nameFont());
    painter.setPen(nameColour(palette));
    painter.drawStaticText(PackageRowStyle::textTopLeft(g.name, m_style.nameMetrics()), texts.name);

    m_style.paintBadge(painter, g.badge, isDependency(), m_isSelected, palette);
    if (m_package.linked)
        m_style.paintCheck(painter, g.check);

    painter.setFont(m_style.captionFont());
    painter.setPen(versionColour(palette));
    painter.drawStaticText(PackageRowStyle::textTopLeft(g.version, m_style.captionMetrics()), texts.version);
    painter.restore();
}

} // namespace ReveZE
