#include "widgets/Palette.h"

namespace ReveZE {

QColor Palette::withOpacity(QColor colour, qreal opacity)
{
    colour.setAlphaF(float(colour.alphaF() * opacity));
    return colour;
}

QColor Palette::label(const QPalette &palette)
{
    return palette.color(QPalette::WindowText);
}

QColor Palette::zelkSecondary(const QPalette &palette)
{
    return withOpacity(label(palette), 0.75);
}

QColor Palette::zelkTertiary(const QPalette &palette)
{
    return withOpacity(label(palette), 0.55);
}

QColor Palette::zelkArgument()
{
    return QColor::fromRgbF(0.68f, 0.47f, 0.02f);
}

QColor Palette::zelkPackageName()
{
    return QColor::fromRgbF(0.28f, 0.60f, 0.14f);
}

QColor Palette::zelkWarmGrey()
{
    return QColor::fromRgbF(0.72f, 0.68f, 0.58f);
}

QColor Palette::zelkDependencyBlue()
{
    return QColor::fromRgbF(0.35f, 0.64f, 0.95f);
}

QColor Palette::orange()
{
    return QColor::fromRgbF(1.0f, 0.58f, 0.0f);
}

QColor Palette::red()
{
    return QColor::fromRgbF(1.0f, 0.23f, 0.19f);
}

QColor Palette::green()
{
    return QColor::fromRgbF(0.20f, 0.78f, 0.35f);
}

QColor Palette::accent(const QPalette &palette)
{
    return palette.color(QPalette::Highlight);
}

QColor Palette::quaternaryFill(const QPalette &palette)
{
    return withOpacity(label(palette), isDark(palette) ? 0.14 : 0.08);
}

QColor Palette::surfaceFill(const QPalette &palette)
{
    return withOpacity(label(palette), isDark(palette) ? 0.10 : 0.05);
}

QColor Palette::surfaceStroke(const QPalette &palette)
{
    return withOpacity(label(palette), isDark(palette) ? 0.16 : 0.10);
}

QColor Palette::barFill(const QPalette &palette)
{
    const QColor window = palette.color(QPalette::Window);
    return isDark(palette) ? window.lighter(112) : window.darker(103);
}

QColor Palette::divider(const QPalette &palette)
{
    return withOpacity(label(palette), isDark(palette) ? 0.22 : 0.14);
}

bool Palette::isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightnessF() < palette.color(QPalette::WindowText).lightnessF();
}

} // namespace ReveZE
