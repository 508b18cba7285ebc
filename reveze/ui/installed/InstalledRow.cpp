#include "installed/InstalledRow.h"

#include "Localizer.h"
#include "widgets/PackageKindIcon.h"
#include "widgets/Palette.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

using ZelkKit::InstalledDetail;

namespace ReveZE {

namespace {

constexpr qreal rowPadding = 3;      // the row's own vertical padding
constexpr qreal listPadding = 4;     // what an inset list adds around each row
constexpr qreal contentInset = 8;    // from the background's edge to the icon
constexpr qreal iconTopPadding = 2;
constexpr qreal columnGap = 10;
constexpr qreal lineGap = 3;
constexpr qreal itemGap = 6;
constexpr qreal badgeHPadding = 6;
constexpr qreal badgeVPadding = 2;
constexpr qreal selectionRadius = 6;

QFont nameFont() { return TextStyles::font(TextStyle::Body, QFont::DemiBold); }
QFont badgeFont() { return TextStyles::font(TextStyle::Caption2, QFont::DemiBold); }
QFont versionFont() { return TextStyles::font(TextStyle::Caption); }

qreal firstLineHeight()
{
    const QFontMetricsF name(nameFont());
    const QFontMetricsF badge(badgeFont());
    return qMax(name.height(), badge.height() + 2 * badgeVPadding);
}

} // namespace

InstalledRow::InstalledRow(const InstalledDetail &package, bool isSelected, const Localizer &l)
    : m_package(package), m_isSelected(isSelected), m_l(l)
{
}

int InstalledRow::height()
{
    const qreal content = qMax(iconTopPadding + PackageKindIcon::frameSide,
                               firstLineHeight() + lineGap + QFontMetricsF(versionFont()).height());
    return int(std::ceil(2 * (listPadding + rowPadding) + content));
}

QString InstalledRow::kindText() const
{
    return m_l(m_package.kind == InstalledDetail::Kind::Dependency ? L::kindDependency : L::kindPackage);
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
    Geometry g;
    g.background = rect.adjusted(inset, 1, -inset, -1);
    const qreal top = rect.top() + listPadding + rowPadding;
    const qreal left = g.background.left() + contentInset;
    g.icon = QRectF(left, top + iconTopPadding, PackageKindIcon::frameSide, PackageKindIcon::frameSide);

    const qreal column = g.icon.right() + columnGap;
    const qreal right = g.background.right() - contentInset;
    const qreal line = firstLineHeight();
    const QFontMetricsF name(nameFont());
    const QFontMetricsF badge(badgeFont());

    const qreal badgeWidth = badge.horizontalAdvance(kindText()) + 2 * badgeHPadding;
    const qreal badgeHeight = badge.height() + 2 * badgeVPadding;
    const qreal checkSide = m_package.linked ? QFontMetricsF(TextStyles::font(TextStyle::Caption)).height() : 0;
    const qreal trailing = badgeWidth + itemGap + (m_package.linked ? checkSide + itemGap : 0);
    const qreal nameWidth = qMin(name.horizontalAdvance(m_package.name), qMax<qreal>(0, right - column - trailing));
    g.name = QRectF(column, top + (line - name.height()) / 2, nameWidth, name.height());
    g.badge = QRectF(g.name.right() + itemGap, top + (line - badgeHeight) / 2, badgeWidth, badgeHeight);
    if (m_package.linked)
        g.check = QRectF(g.badge.right() + itemGap, top + (line - checkSide) / 2, checkSide, checkSide);
    const QFontMetricsF version(versionFont());
    g.version = QRectF(column, top + line + lineGap, qMax<qreal>(0, right - column), version.height());
    return g;
}

void InstalledRow::paint(QPainter &painter, const QRectF &rect, const QPalette &palette) const
{
    const Geometry g = geometry(rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_isSelected) {
        // The accent selection first, then the row's own white veil.
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::accent(palette));
        painter.drawRoundedRect(g.background, selectionRadius, selectionRadius);
        painter.setBrush(Palette::withOpacity(Qt::white, 0.14));
        painter.drawRoundedRect(g.background, selectionRadius, selectionRadius);
    }

    PackageKindIcon::paint(painter, g.icon.topLeft(), m_package.kind == InstalledDetail::Kind::Dependency, 13);

    painter.setFont(nameFont());
    painter.setPen(nameColour(palette));
    const QFontMetricsF name(nameFont());
    painter.drawText(g.name, Qt::AlignLeft | Qt::AlignVCenter,
                     name.elidedText(m_package.name, Qt::ElideRight, g.name.width() + 0.5));

    painter.setPen(Qt::NoPen);
    painter.setBrush(m_isSelected ? Palette::withOpacity(Qt::white, 0.22) : Palette::quaternaryFill(palette));
    painter.drawRoundedRect(g.badge, g.badge.height() / 2, g.badge.height() / 2);
    painter.setFont(badgeFont());
    painter.setPen(m_isSelected ? QColor(Qt::white) : Palette::zelkSecondary(palette));
    painter.drawText(g.badge, Qt::AlignCenter, kindText());

    if (m_package.linked)
        Symbols::paint(painter, g.check, u"checkmark.circle.fill", Palette::green(), TextStyles::size(TextStyle::Caption));

    painter.setFont(versionFont());
    painter.setPen(versionColour(palette));
    const QFontMetricsF version(versionFont());
    painter.drawText(g.version, Qt::AlignLeft | Qt::AlignVCenter,
                     version.elidedText(versionText(), Qt::ElideRight, g.version.width()));
    painter.restore();
}

} // namespace ReveZE
