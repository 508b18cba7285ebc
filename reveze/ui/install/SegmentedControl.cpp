#include "install/SegmentedControl.h"

#include "widgets/TextStyles.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace ReveZE {

SegmentedControl::SegmentedControl(int count, QWidget *parent)
    : QWidget(parent), m_group(new QButtonGroup(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_group->setExclusive(true);
    for (int i = 0; i < count; ++i) {
        auto *segment = new QToolButton(this);
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        segment->setFocusPolicy(Qt::TabFocus);
        TextStyles::apply(segment, TextStyle::Callout);
        const QString radius = i == 0 ? QStringLiteral("border-top-left-radius: 5px; border-bottom-left-radius: 5px;")
                             : i == count - 1
                                 ? QStringLiteral("border-top-right-radius: 5px; border-bottom-right-radius: 5px;")
                                 : QString();
        segment->setStyleSheet(
            QStringLiteral("QToolButton { border: 1px solid palette(mid); padding: 3px 6px; background: palette(button);"
                           " color: palette(button-text); %1 %2 }"
                           " QToolButton:checked { background: palette(highlight); color: palette(highlighted-text); }"
                           " QToolButton:focus { border-color: palette(highlight); }")
                .arg(radius, i > 0 ? QStringLiteral("border-left: none;") : QString()));
        m_group->addButton(segment, i);
        row->addWidget(segment);
        m_segments.append(segment);
    }
    if (!m_segments.isEmpty())
        m_segments.first()->setChecked(true);
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedControl::activated);
}

void SegmentedControl::setTitles(const QStringList &titles)
{
    for (int i = 0; i < m_segments.size() && i < titles.size(); ++i) {
        m_segments.at(i)->setText(titles.at(i));
        m_segments.at(i)->setAccessibleName(titles.at(i));
    }
}

int SegmentedControl::currentIndex() const
{
    return m_group->checkedId();
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (QAbstractButton *button = m_group->button(index); button && !button->isChecked())
        button->setChecked(true);
}

QToolButton *SegmentedControl::segment(int index) const
{
    return m_segments.value(index);
}

} // namespace ReveZE
