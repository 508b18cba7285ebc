#pragma once

#include <QImage>
#include <QWidget>

#include <optional>

namespace ReveZE {

// The application icon at a given size: the bundle's image scaled to fit a
// square, clipped to a rounded square of corner radius 0.22 × size; without
// an image, the product's symbol at 0.8 × size in the accent colour.
// Decoration only: it takes no focus and no clicks.
class AppIconView : public QWidget
{
    Q_OBJECT

public:
    explicit AppIconView(qreal size, QWidget *parent = nullptr);

    qreal iconSize() const { return m_size; }
    qreal opacity() const { return m_opacity; }
    void setOpacity(qreal opacity);
    bool showsImage() const { return m_image != nullptr; }
    qreal cornerRadius() const { return 0.22 * m_size; }

    // Draws the icon (or, without an image, the symbol) into a square.
    static void paint(QPainter &painter, const QRectF &square, const QImage *image, const QColor &accent);
    // The symbol drawn without an image.
    static QString fallbackSymbol();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_size;
    qreal m_opacity = 1.0;
    const QImage *m_image;
};

} // namespace ReveZE
