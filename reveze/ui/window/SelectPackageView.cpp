#include "window/SelectPackageView.h"

#include "widgets/AppIconView.h"
#include "Localizer.h"
#include "widgets/Palette.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace ReveZE {

SelectPackageView::SelectPackageView(Localizer &l, QWidget *parent)
    : QWidget(parent), m_l(l)
{
    setObjectName(QStringLiteral("detailPlaceholder"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(10);
    layout->addStretch(1);
    m_icon = new AppIconView(88, this);
    m_icon->setOpacity(0.9);
    layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    m_title = new QLabel(this);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setObjectName(QStringLiteral("selectPackageTitle"));
    m_title->setWordWrap(true);
    m_title->setAlignment(Qt::AlignHCenter);
    TextStyles::apply(m_title, TextStyle::Title3, QFont::DemiBold);
    layout->addWidget(m_title);
    m_detail = new QLabel(this);
    m_detail->setTextFormat(Qt::PlainText);
    m_detail->setObjectName(QStringLiteral("selectPackageDetail"));
    m_detail->setWordWrap(true);
    m_detail->setAlignment(Qt::AlignHCenter);
    TextStyles::apply(m_detail, TextStyle::Callout);
    layout->addWidget(m_detail);
    layout->addStretch(1);
    connect(&m_l, &Localizer::languageChanged, this, &SelectPackageView::render);
    render();
}

void SelectPackageView::render()
{
    m_title->setText(m_l(L::selectPackage));
    m_detail->setText(m_l(L::selectPackageDetail));
    QPalette palette = m_detail->palette();
    palette.setColor(QPalette::WindowText, Palette::zelkSecondary(this->palette()));
    m_detail->setPalette(palette);
}

void SelectPackageView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        render();
    QWidget::changeEvent(event);
}

} // namespace ReveZE
