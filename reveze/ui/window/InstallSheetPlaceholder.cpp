#include "window/InstallSheetPlaceholder.h"

#include "Localizer.h"
#include "widgets/TextStyles.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ReveZE {

InstallSheetPlaceholder::InstallSheetPlaceholder(AppModel &, Localizer &l, QString packageName,
                                                 ZelkKit::ZelkOperation operation, bool upgradeAll, QWidget *parent)
    : QDialog(parent), m_packageName(std::move(packageName)), m_operation(operation), m_upgradeAll(upgradeAll)
{
    setObjectName(QStringLiteral("installSheet"));
    setWindowModality(Qt::WindowModal);
    setWindowTitle(l(L::installTitle));
    setAccessibleName(l(L::installTitle));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    auto *title = new QLabel(l(L::installTitle), this);
    TextStyles::apply(title, TextStyle::Title3, QFont::DemiBold);
    layout->addWidget(title);
    auto *name = new QLabel(m_packageName, this);
    name->setTextFormat(Qt::PlainText);
    name->setObjectName(QStringLiteral("installSheetPackageName"));
    TextStyles::apply(name, TextStyle::Body);
    layout->addWidget(name);
    layout->addStretch(1);
    auto *close = new QPushButton(l(L::cancel), this);
    close->setObjectName(QStringLiteral("installSheetCancel"));
    close->setAccessibleName(l(L::cancel));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(460, 220);
}

} // namespace ReveZE
