// Draws ReveZE's application icon, "QuindleIcon.png" of the resource bundle:
// a parcel seen from above on a deep teal-to-indigo rounded square, taped
// in amber. The committed PNG is this program's output; run it again after
// changing the drawing:
//
//     reveze-icon reveze/resources/ReveZE_ReveZE.bundle/QuindleIcon.png

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr int side = 256;

QPolygonF polygon(std::initializer_list<QPointF> points)
{
    return QPolygonF(QList<QPointF>(points));
}

void drawIcon(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF square(0, 0, side, side);

    // The rounded square, its corner radius the one AppIconView clips to.
    QPainterPath body;
    body.addRoundedRect(square, 0.22 * side, 0.22 * side);
    QLinearGradient background(QPointF(0, 0), QPointF(side, side));
    background.setColorAt(0.0, QColor(0x14, 0xb8, 0xa6));
    background.setColorAt(0.55, QColor(0x0f, 0x76, 0x8e));
    background.setColorAt(1.0, QColor(0x31, 0x2e, 0x81));
    p.fillPath(body, background);
    p.setClipPath(body);

    // A soft light from the top left.
    QRadialGradient glow(QPointF(70, 40), 190);
    glow.setColorAt(0.0, QColor(255, 255, 255, 70));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(square, glow);

    // The parcel's shadow on the ground.
    QRadialGradient shadow(QPointF(128, 214), 86);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.save();
    p.translate(128, 214);
    p.scale(1.0, 0.28);
    p.translate(-128, -214);
    p.fillRect(QRectF(30, 150, 196, 128), shadow);
    p.restore();

    // An isometric box: top, left and right faces.
    const QPointF top(128, 46), right(200, 88), centre(128, 130), left(56, 88);
    const QPointF drop(0, 84);
    const QPolygonF topFace = polygon({top, right, centre, left});
    const QPolygonF leftFace = polygon({left, centre, centre + drop, left + drop});
    const QPolygonF rightFace = polygon({centre, right, right + drop, centre + drop});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xfb, 0xf2));
    p.drawPolygon(topFace);
    QLinearGradient leftShade(left, centre + drop);
    leftShade.setColorAt(0, QColor(0xf3, 0xe6, 0xcf));
    leftShade.setColorAt(1, QColor(0xe2, 0xcf, 0xae));
    p.setBrush(leftShade);
    p.drawPolygon(leftFace);
    QLinearGradient rightShade(centre, right + drop);
    rightShade.setColorAt(0, QColor(0xdc, 0xc6, 0xa0));
    rightShade.setColorAt(1, QColor(0xc8, 0xae, 0x84));
    p.setBrush(rightShade);
    p.drawPolygon(rightFace);

    // The tape: across the top from the back-left edge to the front-right
    // edge, then down the right face; its width lies along the other pair
    // of edges.
    const QPointF across = (left - top) * 0.12;
    const QPointF backMid = (top + left) / 2;
    const QPointF frontMid = (right + centre) / 2;
    p.setBrush(QColor(0xf5, 0x9e, 0x0b));
    p.drawPolygon(polygon({backMid - across, backMid + across, frontMid + across, frontMid - across}));
    p.setBrush(QColor(0xd9, 0x77, 0x06));
    p.drawPolygon(polygon({frontMid - across, frontMid + across, frontMid + across + drop, frontMid - across + drop}));

    // Crisp edges where the faces meet.
    p.setPen(QPen(QColor(255, 255, 255, 150), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(left, centre);
    p.drawLine(centre, right);
    p.setPen(QPen(QColor(120, 90, 50, 60), 1.5));
    p.drawLine(centre, centre + drop);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: reveze-icon OUTPUT.png\n");
        return 2;
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        drawIcon(painter);
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "reveze-icon: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
