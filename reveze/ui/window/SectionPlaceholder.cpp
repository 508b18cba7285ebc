#include "window/SectionPlaceholder.h"

#include "Localizer.h"
#include "widgets/Palette.h"
#include "widgets/SymbolLabel.h"
#include "widgets/TextStyles.h"

#include <QLabel>
#include <QVBoxLayout>

namespace ReveZE {

SectionPlaceholder::SectionPlaceholder(SidebarItem section, Localizer &l, QWidget *parent)
    : NavigationScreen(parent), m_section(section), m_l(l)
{
    setObjectName(QStringLiteral("sectionPlaceholder"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->addStretch(1);
    auto *symbol = new SymbolLabel(symbolName(section), TextStyles::size(TextStyle::LargeTitle) * 1.6,
                                   &Palette::zelkTertiary, this);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    m_title = new QLabel(this);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setObjectName(QStringLiteral("sectionPlaceholderTitle"));
    TextStyles::apply(m_title, TextStyle::Title3, QFont::DemiBold);
    layout->addWidget(m_title, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    connect(&m_l, &Localizer::languageChanged, this, &SectionPlaceholder::render);
    render();
}

QString SectionPlaceholder::navigationTitle() const
{
    return m_l(titleKey(m_section));
}

void SectionPlaceholder::render()
{
    m_title->setText(navigationTitle());
    Q_EMIT navigationTitleChanged();
}

} // namespace ReveZE
