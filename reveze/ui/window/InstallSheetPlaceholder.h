#pragma once

#include <ZelkOperation.h>

#include <QDialog>

namespace ReveZE {

class AppModel;
class Localizer;

// The modal sheet the toolbar's Install opens, until the install sheet
// proper takes its place: it carries the package name it was opened with and
// a button that closes it. It takes what the sheet proper will take.
class InstallSheetPlaceholder : public QDialog
{
    Q_OBJECT

public:
    InstallSheetPlaceholder(AppModel &model, Localizer &l, QString packageName, ZelkKit::ZelkOperation operation,
                            bool upgradeAll, QWidget *parent = nullptr);

    const QString &packageName() const { return m_packageName; }
    ZelkKit::ZelkOperation operation() const { return m_operation; }
    bool upgradeAll() const { return m_upgradeAll; }

private:
    QString m_packageName;
    ZelkKit::ZelkOperation m_operation;
    bool m_upgradeAll;
};

} // namespace ReveZE
