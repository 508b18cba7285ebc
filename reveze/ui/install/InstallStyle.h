#pragma once

// What the install sheet and its confirmation dialog draw with besides the
// shared palette and text styles: the platform's blue (confirm tones, the
// command word of the preview) and the monospaced variants of the text
// styles (names, switches, the command line, the log).

#include "widgets/TextStyles.h"

#include <QColor>
#include <QFont>

class QLabel;

namespace ReveZE {

class InstallStyle
{
public:
    InstallStyle() = delete;

    // The standard blue of confirm actions; it reads on light and dark windows.
    static QColor blue();

    // The monospaced system font at the size of `style`.
    static QFont monospaced(TextStyle style, QFont::Weight weight = QFont::Normal);

    // Sets a label's text colour (its WindowText role) without touching the
    // rest of its palette.
    static void setTextColour(QWidget *widget, const QColor &colour);
};

} // namespace ReveZE
