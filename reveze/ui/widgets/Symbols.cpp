#include "widgets/Symbols.h"

#include "widgets/SymbolIconEngine.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <utility>

namespace ReveZE {

namespace {

struct Entry {
    QStringView name;
    char16_t glyph;
};

// Symbol name -> Material Icons code point.
constexpr Entry table[] = {
    {u"cube.box.fill", 0xe9fe},                  // view_in_ar
    {u"shippingbox.fill", 0xe1a1},               // inventory_2
    {u"puzzlepiece.fill", 0xe87b},               // extension
    {u"magnifyingglass", 0xe8b6},                // search
    {u"stethoscope", 0xf109},                    // medical_services
    {u"gearshape", 0xe8b8},                      // settings
    {u"plus", 0xe145},                           // add
    {u"arrow.clockwise", 0xe5d5},                // refresh
    {u"globe", 0xe894},                          // language
    {u"xmark.circle.fill", 0xe5c9},              // cancel
    {u"checkmark.circle.fill", 0xe86c},          // check_circle
    {u"checkmark", 0xe5ca},                      // check
    {u"checkmark.seal.fill", 0xef76},            // verified
    {u"lock.fill", 0xe897},                      // lock
    {u"doc.on.doc", 0xe14d},                     // content_copy
    {u"arrow.turn.down.right", 0xe5da},          // subdirectory_arrow_right
    {u"exclamationmark.triangle.fill", 0xe002},  // warning
    {u"xmark.octagon.fill", 0xe99a},             // dangerous
    {u"arrow.up.circle", 0xf182},                // arrow_circle_up
    {u"arrow.up.circle.fill", 0xf182},           // arrow_circle_up
    {u"arrow.right", 0xe5c8},                    // arrow_forward
    {u"arrow.triangle.2.circlepath", 0xe627},    // sync
};

const QString &loadedFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/reveze/fonts/MaterialIcons-Regular.ttf"));
        const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        return families.isEmpty() ? QStringLiteral("Material Icons") : families.first();
    }();
    return family;
}

} // namespace

QString Symbols::glyph(QStringView name)
{
    for (const Entry &entry : table) {
        if (entry.name == name)
            return QString(QChar(entry.glyph));
    }
    return {};
}

bool Symbols::contains(QStringView name)
{
    return !glyph(name).isEmpty();
}

QStringList Symbols::names()
{
    QStringList names;
    for (const Entry &entry : table)
        names.append(entry.name.toString());
    return names;
}

QString Symbols::family()
{
    return loadedFamily();
}

QFont Symbols::font(qreal size)
{
    QFont font(family());
    if (QApplication::font().pointSizeF() > 0)
        font.setPointSizeF(size);
    else
        font.setPixelSize(qMax(1, qRound(size)));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferAntialias));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void Symbols::paint(QPainter &painter, const QRectF &frame, QStringView name, const QColor &colour, qreal size,
                    qreal rotationDegrees)
{
    const QString text = glyph(name);
    if (text.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont symbolFont = font(size);
    painter.setFont(symbolFont);
    painter.setPen(colour);
    const QFontMetricsF metrics(symbolFont, painter.device());
    painter.translate(frame.center());
    if (rotationDegrees != 0)
        painter.rotate(rotationDegrees);
    // Centre the glyph's advance box on the frame: half the advance to the
    // left, and the baseline so that ascent and descent balance.
    const qreal advance = metrics.horizontalAdvance(text);
    const qreal baseline = (metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPointF(-advance / 2, baseline), text);
    painter.restore();
}

qreal Symbols::sizeForPixels(qreal pixels, const QPaintDevice *device)
{
    if (QApplication::font().pointSizeF() <= 0)
        return pixels;
    const qreal dpi = device ? device->logicalDpiY() : 96;
    return pixels * 72.0 / dpi;
}

QIcon Symbols::icon(QStringView name)
{
    return QIcon(new SymbolIconEngine(name.toString()));
}

} // namespace ReveZE
