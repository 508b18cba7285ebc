#pragma once

// One row of the Installed list, as the list's delegate paints it: the kind
// icon; the name (semibold), the kind badge on a faint capsule and, when the
// package is linked, a green check; below them "v" and the version, white
// on the selected row and secondary otherwise.

#include <InstallStatus.h>

#include <QColor>
#include <QPalette>
#include <QRectF>

class QPainter;

namespace ReveZE {

class Localizer;

class InstalledRow
{
public:
    // Where the parts of a row go inside the row's rectangle.
    struct Geometry {
        QRectF background;
        QRectF icon;
        QRectF name;
        QRectF badge;
        QRectF check;
        QRectF version;
    };

    InstalledRow(const ZelkKit::InstalledDetail &package, bool isSelected, const Localizer &l);

    // Every row has the same height, so the list can lay out 100,000 rows
    // without measuring them.
    static int height();
    // The distance of a row's background from the list's sides.
    static constexpr qreal inset = 10;

    Geometry geometry(const QRectF &rect) const;
    void paint(QPainter &painter, const QRectF &rect, const QPalette &palette) const;

    QString kindText() const;
    QString versionText() const;
    QColor nameColour(const QPalette &palette) const;
    QColor versionColour(const QPalette &palette) const;
    QString accessibleText() const;

private:
    const ZelkKit::InstalledDetail &m_package;
    bool m_isSelected;
    const Localizer &m_l;
};

} // namespace ReveZE
