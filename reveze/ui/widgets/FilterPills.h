#pragma once

// The row of filter pills on a translucent surface, with one accent-coloured
// highlight behind the chosen pill. The highlight is a single shape: when
// another pill is chosen it slides there along a critically damped spring
// (SpringAnimation) instead of jumping.

#include <QList>
#include <QRectF>
#include <QVariantAnimation>
#include <QWidget>

class QButtonGroup;

namespace ReveZE {

class FilterPill;

class FilterPills : public QWidget
{
    Q_OBJECT

public:
    explicit FilterPills(QWidget *parent = nullptr);

    // One pill per label, in order; keeps the chosen index.
    void setLabels(const QStringList &labels);
    int count() const { return int(m_pills.size()); }
    FilterPill *pill(int index) const { return m_pills.value(index); }

    int currentIndex() const { return m_current; }
    // Chooses a pill; `animated` slides the highlight, otherwise it jumps.
    void setCurrentIndex(int index, bool animated);

    // Where the highlight is drawn now, and the animation that moves it.
    QRectF highlightRect() const { return m_highlight; }
    QVariantAnimation *highlightAnimation() { return &m_animation; }
    // Where the highlight belongs: behind the chosen pill.
    QRectF targetRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    // The user pressed the pill at `index`.
    void pillPressed(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followLayout();

    QList<FilterPill *> m_pills;
    QButtonGroup *m_group;
    int m_current = 0;
    QRectF m_highlight;
    QVariantAnimation m_animation;
};

} // namespace ReveZE
