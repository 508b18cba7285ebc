#pragma once

#include <QTimer>
#include <QWidget>

namespace ReveZE {

// An indeterminate progress spinner: twelve spokes of fading opacity that
// turn while the spinner is visible (its timer stops when hidden).
class ProgressSpinner : public QWidget
{
    Q_OBJECT

public:
    explicit ProgressSpinner(int diameter, QWidget *parent = nullptr);

    bool isSpinning() const { return m_timer.isActive(); }
    QSize sizeHint() const override { return {m_diameter, m_diameter}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int m_diameter;
    int m_step = 0;
    QTimer m_timer;
};

} // namespace ReveZE
