#pragma once

#include <QAbstractButton>

namespace ReveZE {

// One filter pill: its label in the callout font, semibold and white when
// it is the chosen one, regular and secondary otherwise. The moving
// highlight behind the chosen pill belongs to FilterPills; the whole rounded
// rectangle is the hit area. Checked is the accessible "selected" state.
class FilterPill : public QAbstractButton
{
    Q_OBJECT

public:
    explicit FilterPill(QWidget *parent = nullptr);

    QColor textColour() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
};

} // namespace ReveZE
