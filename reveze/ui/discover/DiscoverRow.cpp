#include "discover/DiscoverRow.h"

#include "discover/CatalogSearch.h"
#include "widgets/PackageKindIcon.h"
#include "widgets/Palette.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

using ZelkKit::CatalogPackage;

namespace ReveZE {

using S = PackageRowStyle;

DiscoverRow::DiscoverRow(const CatalogPackage &package, bool isSelected, int lines, const PackageRowStyle &style)
    : m_package(package), m_isSelected(isSelected), m_lines(lines), m_style(style)
{
}

int DiscoverRow::height(const PackageRowStyle &style, int lines)
{
    qreal column = style.firstLineHeight();
    if (lines > 0)
        column += S::lineGap + lines * style.captionMetrics().lineSpacing();
    const qreal content = qMax(S::iconTopPadding + PackageKindIcon::frameSide, column);
    return int(std::ceil(2 * (S::listPadding + S::rowPadding) + content));
}

qreal DiscoverRow::textWidth(qreal rowWidth)
{
    return qMax<qreal>(0, rowWidth - 2 * S::inset - 2 * S::contentInset - PackageKindIcon::frameSide - S::columnGap);
}

bool DiscoverRow::isDependency() const
{
    return m_package.kind == CatalogPackage::Kind::Dependency;
}

QString DiscoverRow::versionText() const
{
    return m_package.latest ? QLatin1Char('v') + *m_package.latest : QString();
}

QColor DiscoverRow::nameColour(const QPalette &palette) const
{
    return m_isSelected ? QColor(Qt::white) : Palette::label(palette);
}

QColor DiscoverRow::secondaryColour(const QPalette &palette) const
{
    return m_isSelected ? QColor(Qt::white) : Palette::zelkSecondary(palette);
}

DiscoverRow::Geometry DiscoverRow::geometry(const QRectF &rect, qreal nameAdvance, qreal versionAdvance) const
{
    Geometry g;
    g.background = S::background(rect);
    const qreal top = rect.top() + S::listPadding + S::rowPadding;
    const qreal left = g.background.left() + S::contentInset;
    g.icon = QRectF(left, top + S::iconTopPadding, PackageKindIcon::frameSide, PackageKindIcon::frameSide);

    const qreal column = g.icon.right() + S::columnGap;
    const qreal right = g.background.right() - S::contentInset;
    const qreal width = qMax<qreal>(0, right - column);
    const qreal line = m_style.firstLineHeight();
    const qreal badgeWidth = m_style.badgeWidth(isDependency());
    const qreal badgeHeight = m_style.badgeHeight();
    // The name gives way first, then the version.
    const qreal versionWidth = m_package.latest ? qMin(versionAdvance, qMax<qreal>(0, width - badgeWidth - 2 * S::itemGap))
                                                : 0;
    const qreal trailing = badgeWidth + S::itemGap + (m_package.latest ? versionWidth + S::itemGap : 0);
    const qreal nameWidth = qMin(nameAdvance, qMax<qreal>(0, width - trailing));
    const qreal nameHeight = m_style.nameMetrics().height();
    g.name = QRectF(column, top + (line - nameHeight) / 2, nameWidth, nameHeight);
    g.badge = QRectF(g.name.right() + S::itemGap, top + (line - badgeHeight) / 2, badgeWidth, badgeHeight);
    if (m_package.latest) {
        const qreal captionHeight = m_style.captionMetrics().height();
        g.version = QRectF(g.badge.right() + S::itemGap, top + (line - captionHeight) / 2, versionWidth, captionHeight);
    }
    if (m_lines > 0)
        g.description = QRectF(column, top + line + S::lineGap, width, m_lines * m_style.captionMetrics().lineSpacing());
    return g;
}

DiscoverRow::Texts DiscoverRow::texts(const QRectF &rect) const
{
    Texts texts;
    const QFontMetricsF &name = m_style.nameMetrics();
    const QFontMetricsF &caption = m_style.captionMetrics();
    texts.nameAdvance = name.horizontalAdvance(m_package.name);
    const QString version = versionText();
    texts.versionAdvance = version.isEmpty() ? 0 : caption.horizontalAdvance(version);
    const Geometry g = geometry(rect, texts.nameAdvance, texts.versionAdvance);
    texts.name = preparedText(name.elidedText(m_package.name, Qt::ElideRight, g.name.width() + 0.5), m_style.nameFont());
    if (!version.isEmpty())
        texts.version = preparedText(caption.elidedText(version, Qt::ElideRight, g.version.width() + 0.5),
                                     m_style.captionFont());
    if (m_lines > 0 && m_package.description) {
        const QString description = CatalogSearch::singleLine(*m_package.description);
        const qreal width = g.description.width();
        if (m_lines == 1) {
            texts.lines[0] = preparedText(caption.elidedText(description, Qt::ElideRight, width + 0.5),
                                          m_style.captionFont());
        } else {
            // The first line breaks where the text would wrap; the rest goes
            // on the second line, cut short with an ellipsis.
            QTextLayout layout(description, m_style.captionFont());
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            layout.beginLayout();
            QTextLine first = layout.createLine();
            first.setLineWidth(width);
            layout.endLayout();
            const qsizetype split = first.textStart() + first.textLength();
            texts.lines[0] = preparedText(description.left(split).trimmed(), m_style.captionFont());
            texts.lines[1] = preparedText(
                caption.elidedText(description.mid(split).trimmed(), Qt::ElideRight, width + 0.5),
                m_style.captionFont());
        }
    }
    return texts;
}

void DiscoverRow::paint(QPainter &painter, const QRectF &rect, const QPalette &palette, const Texts &texts) const
{
    const Geometry g = geometry(rect, texts.nameAdvance, texts.versionAdvance);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_isSelected)
        m_style.paintSelection(painter, g.background, palette);
    m_style.paintKindIcon(painter, g.icon.topLeft(), isDependency());

    painter.setFont(m_style.nameFont());
    painter.setPen(nameColour(palette));
    painter.drawStaticText(PackageRowStyle::textTopLeft(g.name, m_style.nameMetrics()), texts.name);

    m_style.paintBadge(painter, g.badge, isDependency(), m_isSelected, palette);

    painter.setFont(m_style.captionFont());
    painter.setPen(secondaryColour(palette));
    if (m_package.latest)
        painter.drawStaticText(PackageRowStyle::textTopLeft(g.version, m_style.captionMetrics()), texts.version);
    const qreal spacing = m_style.captionMetrics().lineSpacing();
    for (int i = 0; i < m_lines && i < 2; ++i)
        painter.drawStaticText(QPointF(g.description.left(), g.description.top() + i * spacing), texts.lines[i]);
    painter.restore();
}

} // namespace ReveZE
