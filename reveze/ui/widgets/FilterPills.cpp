#include "widgets/FilterPills.h"

#include "widgets/FilterPill.h"
#include "widgets/InteractiveSurface.h"
#include "widgets/Palette.h"
#include "widgets/SpringAnimation.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>

namespace ReveZE {

namespace {
constexpr qreal surfaceRadius = 10;
constexpr qreal highlightRadius = 7;
} // namespace

FilterPills::FilterPills(QWidget *parent)
    : QWidget(parent), m_group(new QButtonGroup(this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) { Q_EMIT pillPressed(id); });

    m_animation.setDuration(SpringAnimation::durationMs(SpringAnimation::pillResponse));
    m_animation.setEasingCurve(SpringAnimation::easing(SpringAnimation::pillResponse));
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_highlight = value.toRectF();
        update();
    });
}

void FilterPills::setLabels(const QStringList &labels)
{
    while (m_pills.size() > labels.size()) {
        FilterPill *pill = m_pills.takeLast();
        m_group->removeButton(pill);
        delete pill;
    }
    while (m_pills.size() < labels.size()) {
        auto *pill = new FilterPill(this);
        pill->setObjectName(QStringLiteral("filterPill%1").arg(m_pills.size()));
        pill->installEventFilter(this);
        m_group->addButton(pill, int(m_pills.size()));
        layout()->addWidget(pill);
        m_pills.append(pill);
    }
    for (qsizetype i = 0; i < labels.size(); ++i) {
        m_pills[i]->setText(labels[i]);
        m_pills[i]->setAccessibleName(labels[i]);
        m_pills[i]->updateGeometry();
    }
    if (m_pills.value(m_current))
        m_pills[m_current]->setChecked(true);
    layout()->activate();
    followLayout();
}

void FilterPills::setCurrentIndex(int index, bool animated)
{
    if (index < 0 || index >= m_pills.size())
        return;
    m_current = index;
    m_pills[index]->setChecked(true);
    for (FilterPill *pill : std::as_const(m_pills))
        pill->update();
    const QRectF target = targetRect();
    m_animation.stop();
    if (animated && !m_highlight.isEmpty() && m_highlight != target) {
        m_animation.setStartValue(m_highlight);
        m_animation.setEndValue(target);
        m_animation.start();
    } else {
        m_highlight = target;
        update();
    }
}

QRectF FilterPills::targetRect() const
{
    const FilterPill *pill = m_pills.value(m_current);
    return pill ? QRectF(pill->geometry()) : QRectF();
}

void FilterPills::followLayout()
{
    // A pill moved or changed size (a new language, a new font): the
    // highlight goes with it, still sliding if it was.
    const QRectF target = targetRect();
    if (m_animation.state() == QAbstractAnimation::Running) {
        m_animation.setEndValue(target);
    } else {
        m_highlight = target;
        update();
    }
}

bool FilterPills::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize)
        && m_pills.contains(qobject_cast<FilterPill *>(watched)))
        followLayout();
    return QWidget::eventFilter(watched, event);
}

QSize FilterPills::sizeHint() const
{
    return layout() ? layout()->sizeHint() : QSize();
}

void FilterPills::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    InteractiveSurface::paint(painter, QRectF(rect()), surfaceRadius, palette());
    if (!m_highlight.isEmpty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::accent(palette()));
        painter.drawRoundedRect(m_highlight, highlightRadius, highlightRadius);
    }
}

} // namespace ReveZE
