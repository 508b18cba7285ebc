#pragma once

#include <QWidget>

namespace ReveZE {

// The symbol that tells a package from a dependency: an orange box for a
// package, a blue puzzle piece turned 45 degrees for a dependency, set at
// `size` and centred in a fixed 18 × 18 frame. Decoration only.
class PackageKindIcon : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal frameSide = 18;

    PackageKindIcon(bool isDependency, qreal size, QWidget *parent = nullptr);

    bool isDependency() const { return m_isDependency; }
    void setDependency(bool isDependency);
    qreal symbolSize() const { return m_size; }

    static QString symbolName(bool isDependency);
    static QColor colour(bool isDependency);
    static qreal rotationDegrees(bool isDependency);
    // Draws the icon in the 18 × 18 frame at `topLeft`; `size` in points as
    // given by the screens (13 in the lists), scaled like the text styles.
    static void paint(QPainter &painter, const QPointF &topLeft, bool isDependency, qreal size);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_isDependency;
    qreal m_size;
};

} // namespace ReveZE
