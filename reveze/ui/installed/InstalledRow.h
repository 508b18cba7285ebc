#pragma once

// One row of the Installed list, as the list's delegate paints it: the kind
// icon; the name (semibold), the kind badge on a faint capsule and, when the
// package is linked, a green check; below them "v" and the version, white
// on the selected row and secondary otherwise.

#include "installed/PackageRowStyle.h"

#include <InstallStatus.h>

#include <QColor>
#include <QPalette>
#include <QRectF>
#include <QStaticText>

#include <memory>

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

    // The row's texts, laid out for one row width (kept by the delegate).
    struct Texts {
        QStaticText name;
        QStaticText version;
        qreal nameAdvance = 0;
    };

    // Paints with the delegate's style.
    InstalledRow(const ZelkKit::InstalledDetail &package, bool isSelected, const PackageRowStyle &style);
    // With a style of its own (for a look at one row's geometry).
    InstalledRow(const ZelkKit::InstalledDetail &package, bool isSelected, const Localizer &l);
    ~InstalledRow();

    // Every row has the same height, so the list can lay out 100,000 rows
    // without measuring them.
    static int height(const PackageRowStyle &style);
    static int height();
    // The distance of a row's background from the list's sides.
    static constexpr qreal inset = PackageRowStyle::inset;

    Geometry geometry(const QRectF &rect) const;
    Geometry geometry(const QRectF &rect, qreal nameAdvance) const;
    Texts texts(const QRectF &rect) const;
    void paint(QPainter &painter, const QRectF &rect, const QPalette &palette, const Texts &texts) const;
    void paint(QPainter &painter, const QRectF &rect, const QPalette &palette) const;

    QString kindText() const;
    QString versionText() const;
    QColor nameColour(const QPalette &palette) const;
    QColor versionColour(const QPalette &palette) const;
    QString accessibleText() const;

private:
    bool isDependency() const;

    const ZelkKit::InstalledDetail &m_package;
    bool m_isSelected;
    std::unique_ptr<PackageRowStyle> m_ownStyle;
    const PackageRowStyle &m_style;
};

} // namespace ReveZE
