#include "window/LanguagePicker.h"

#include "AppLanguage.h"
#include "Localizer.h"
#include "widgets/Palette.h"
#include "widgets/SymbolLabel.h"
#include "widgets/TextStyles.h"

#include <QComboBox>
#include <QHBoxLayout>

namespace ReveZE {

LanguagePicker::LanguagePicker(Localizer &l, QWidget *parent)
    : QWidget(parent), m_l(l)
{
    setObjectName(QStringLiteral("languagePicker"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(6);

    m_globe = new SymbolLabel(QStringLiteral("globe"), TextStyles::size(TextStyle::Caption) * 1.2,
                              &Palette::zelkSecondary, this);
    layout->addWidget(m_globe, 0, Qt::AlignVCenter);

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("languageComboBox"));
    TextStyles::apply(m_combo, TextStyle::Callout);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (AppLanguage language : allLanguages())
        m_combo->addItem(nativeName(language), int(language));
    layout->addWidget(m_combo, 0, Qt::AlignVCenter);
    layout->addStretch(1);

    connect(m_combo, &QComboBox::activated, this, [this](int index) {
        m_l.setLanguage(AppLanguage(m_combo->itemData(index).toInt()));
    });
    connect(&m_l, &Localizer::languageChanged, this, &LanguagePicker::render);
    render();
}

void LanguagePicker::render()
{
    m_combo->setCurrentIndex(m_combo->findData(int(m_l.language())));
    m_combo->setAccessibleName(m_l(L::language));
    m_combo->setToolTip(m_l(L::language));
}

} // namespace ReveZE
