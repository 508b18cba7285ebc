#pragma once

// One row of the Discover list, as its delegate paints it: the kind icon;
// the name (semibold), the kind badge and, when the index knows a latest
// version, "v" and that version; below them, when there is one, the
// description in at most two lines. The version and the description are
// white on the selected row and secondary otherwise.
//
// A row's height depends only on how many lines its description takes at
// the list's width: none, one when it fits on a line, else two.

#include "installed/PackageRowStyle.h"

#include <Models.h>

#include <QPalette>
#include <QRectF>
#include <QStaticText>

class QPainter;

namespace ReveZE {

class DiscoverRow
{
public:
    struct Geometry {
        QRectF background;
        QRectF icon;
        QRectF name;
        QRectF badge;
        QRectF version;
        QRectF description;
    };

    // The row's texts, laid out for one row width (kept by the delegate).
    struct Texts {
        QStaticText name;
        QStaticText version;
        QStaticText lines[2];
        qreal nameAdvance = 0;
        qreal versionAdvance = 0;
    };

    // `lines`: how many lines the description takes (0 without one).
    DiscoverRow(const ZelkKit::CatalogPackage &package, bool isSelected, int lines, const PackageRowStyle &style);

    static int height(const PackageRowStyle &style, int lines);
    // The width the texts of a row of `rowWidth` have.
    static qreal textWidth(qreal rowWidth);
    // How many lines a description of this one-line width takes (0: none).
    static int lineCount(float descriptionWidth, qreal textWidth)
    {
        return descriptionWidth < 0 ? 0 : (descriptionWidth <= textWidth ? 1 : 2);
    }

    Geometry geometry(const QRectF &rect, qreal nameAdvance, qreal versionAdvance) const;
    Texts texts(const QRectF &rect) const;
    void paint(QPainter &painter, const QRectF &rect, const QPalette &palette, const Texts &texts) const;

    // "v" and the latest version; empty without one.
    QString versionText() const;
    QColor nameColour(const QPalette &palette) const;
    // Of the version and the description.
    QColor secondaryColour(const QPalette &palette) const;

private:
    bool isDependency() const;

    const ZelkKit::CatalogPackage &m_package;
    bool m_isSelected;
    int m_lines;
    const PackageRowStyle &m_style;
};

} // namespace ReveZE
