#include "widgets/PackageKindIcon.h"

#include "widgets/Palette.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QPainter>

namespace ReveZE {

PackageKindIcon::PackageKindIcon(bool isDependency, qreal size, QWidget *parent)
    : QWidget(parent), m_isDependency(isDependency), m_size(size)
{
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::NoFocus);
}

void PackageKindIcon::setDependency(bool isDependency)
{
    m_isDependency = isDependency;
    update();
}

QString PackageKindIcon::symbolName(bool isDependency)
{
    return isDependency ? QStringLiteral("puzzlepiece.fill") : QStringLiteral("shippingbox.fill");
}

QColor PackageKindIcon::colour(bool isDependency)
{
    return isDependency ? Palette::zelkDependencyBlue() : Palette::orange();
}

qreal PackageKindIcon::rotationDegrees(bool isDependency)
{
    return isDependency ? 45 : 0;
}

void PackageKindIcon::paint(QPainter &painter, const QPointF &topLeft, bool isDependency, qreal size)
{
    // Sizes given in points follow the application font, as the text styles do.
    const qreal scaled = size * TextStyles::size(TextStyle::Body) / 13.0;
    Symbols::paint(painter, QRectF(topLeft, QSizeF(frameSide, frameSide)), symbolName(isDependency),
                   colour(isDependency), scaled, rotationDegrees(isDependency));
}

QSize PackageKindIcon::sizeHint() const
{
    return {int(frameSide), int(frameSide)};
}

void PackageKindIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, QPointF(0, 0), m_isDependency, m_size);
}

} // namespace ReveZE
