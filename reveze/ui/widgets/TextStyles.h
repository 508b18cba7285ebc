#pragma once

// ReveZE's text styles. Each style has a size relative to the body text
// (large title 26, title 3 15, headline 13 semibold, body 13, callout 12,
// caption 10, small caption 10), scaled so that body is the application's
// font size: a user who enlarges the desktop font enlarges every style.

#include <QFont>

class QWidget;

namespace ReveZE {

enum class TextStyle { LargeTitle, Title3, Headline, Body, Callout, Caption, Caption2 };

class TextStyles
{
public:
    // The style's font, from the application font; `weight` overrides the
    // style's own weight (headline is semibold, the others regular).
    static QFont font(TextStyle style);
    static QFont font(TextStyle style, QFont::Weight weight);
    // The style's size in points (or in pixels when the application font is
    // set in pixels).
    static qreal size(TextStyle style);
    // Sets the widget's font to the style.
    static void apply(QWidget *widget, TextStyle style);
    static void apply(QWidget *widget, TextStyle style, QFont::Weight weight);

private:
    static qreal nominal(TextStyle style);
};

} // namespace ReveZE
