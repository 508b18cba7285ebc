#pragma once

// The two buttons at the foot of the confirmation dialog's card:
//
// - Outline (its Cancel): red text in the callout font at medium weight on
//   the control background, a red border at 0.55, at least 84 wide, 7 by 14
//   padding;
// - Filled (its "Install anyway"): white semibold text on red, 7 by 16
//   padding.
//
// Both are rounded rectangles of radius 8 that take clicks on their whole
// shape and bind no keys of their own.

#include <QAbstractButton>

namespace ReveZE {

class DangerCardButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Kind { Outline, Filled };

    DangerCardButton(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    void setTitle(const QString &title);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr qreal cornerRadius = 8;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    Kind m_kind;
};

} // namespace ReveZE
