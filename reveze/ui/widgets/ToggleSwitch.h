#pragma once

#include <QAbstractButton>

namespace ReveZE {

// A small on/off switch: a capsule track (accent colour when on) with a
// white knob. Its label is not drawn; the accessible name carries it.
class ToggleSwitch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;
};

} // namespace ReveZE
