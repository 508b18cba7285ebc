#include "widgets/TextStyles.h"

#include <QApplication>
#include <QWidget>

namespace ReveZE {

namespace {
constexpr qreal nominalBody = 13;
} // namespace

qreal TextStyles::nominal(TextStyle style)
{
    switch (style) {
    case TextStyle::LargeTitle: return 26;
    case TextStyle::Title3: return 15;
    case TextStyle::Headline: return 13;
    case TextStyle::Body: return 13;
    case TextStyle::Callout: return 12;
    case TextStyle::Caption: return 10;
    case TextStyle::Caption2: return 10;
    }
    return nominalBody;
}

qreal TextStyles::size(TextStyle style)
{
    const QFont base = QApplication::font();
    const qreal body = base.pointSizeF() > 0 ? base.pointSizeF() : qreal(base.pixelSize());
    return body * nominal(style) / nominalBody;
}

QFont TextStyles::font(TextStyle style)
{
    return font(style, style == TextStyle::Headline ? QFont::DemiBold : QFont::Normal);
}

QFont TextStyles::font(TextStyle style, QFont::Weight weight)
{
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(size(style));
    else
        font.setPixelSize(qMax(1, qRound(size(style))));
    font.setWeight(weight);
    return font;
}

void TextStyles::apply(QWidget *widget, TextStyle style)
{
    widget->setFont(font(style));
}

void TextStyles::apply(QWidget *widget, TextStyle style, QFont::Weight weight)
{
    widget->setFont(font(style, weight));
}

} // namespace ReveZE
