#include "install/InstallStyle.h"

#include <QFontDatabase>
#include <QWidget>

namespace ReveZE {

QColor InstallStyle::blue()
{
    return QColor::fromRgbF(0.0f, 0.48f, 1.0f);
}

QFont InstallStyle::monospaced(TextStyle style, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont reference = TextStyles::font(style);
    if (reference.pointSizeF() > 0)
        font.setPointSizeF(reference.pointSizeF());
    else
        font.setPixelSize(reference.pixelSize());
    font.setWeight(weight);
    return font;
}

void InstallStyle::setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    if (palette.color(QPalette::WindowText) == colour && palette.color(QPalette::Text) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

} // namespace ReveZE
