#include "window/PackageDetailPlaceholder.h"

#include "widgets/TextStyles.h"

#include <QLabel>
#include <QVBoxLayout>

namespace ReveZE {

PackageDetailPlaceholder::PackageDetailPlaceholder(AppModel &, Localizer &, QString name, QWidget *parent)
    : NavigationScreen(parent), m_name(std::move(name))
{
    setObjectName(QStringLiteral("packageDetail"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    auto *title = new QLabel(m_name, this);
    title->setTextFormat(Qt::PlainText);
    title->setObjectName(QStringLiteral("packageDetailTitle"));
    title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    title->setWordWrap(true);
    TextStyles::apply(title, TextStyle::LargeTitle, QFont::Bold);
    layout->addWidget(title);
    layout->addStretch(1);
}

} // namespace ReveZE
