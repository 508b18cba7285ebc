#pragma once

// The named colours every ReveZE screen draws with, besides the style's own.
// The two label-derived colours take the label colour from the palette they
// are given (a widget's palette), so they follow a dark palette; the four
// fixed colours are sRGB values that read on both.

#include <QColor>
#include <QPalette>

namespace ReveZE {

class Palette
{
public:
    // The text colour of the palette (QPalette::WindowText).
    static QColor label(const QPalette &palette);
    // The label colour at opacity 0.75.
    static QColor zelkSecondary(const QPalette &palette);
    // The label colour at opacity 0.55.
    static QColor zelkTertiary(const QPalette &palette);

    static QColor zelkArgument();        // sRGB 0.68, 0.47, 0.02
    static QColor zelkPackageName();     // sRGB 0.28, 0.60, 0.14
    static QColor zelkWarmGrey();        // sRGB 0.72, 0.68, 0.58
    static QColor zelkDependencyBlue();  // sRGB 0.35, 0.64, 0.95

    // The standard signal colours: badges, warnings, errors, "linked".
    static QColor orange();
    static QColor red();
    static QColor green();

    // The selection and emphasis colour (QPalette::Highlight).
    static QColor accent(const QPalette &palette);
    // A faint fill for capsules and kind badges.
    static QColor quaternaryFill(const QPalette &palette);
    // The translucent surface behind the search bar and the filter pills.
    static QColor surfaceFill(const QPalette &palette);
    static QColor surfaceStroke(const QPalette &palette);
    // The status bar's bar material.
    static QColor barFill(const QPalette &palette);
    // Hairline dividers between columns and sections.
    static QColor divider(const QPalette &palette);

    // Whether the palette is a dark one (light text on a dark window).
    static bool isDark(const QPalette &palette);

    // `colour` with its alpha multiplied by `opacity`.
    static QColor withOpacity(QColor colour, qreal opacity);
};

} // namespace ReveZE
