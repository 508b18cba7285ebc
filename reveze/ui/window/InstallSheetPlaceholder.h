#pragma once

#include <QDialog>

namespace ReveZE {

class Localizer;

// The modal sheet the toolbar's Install opens, until the install sheet
// proper takes its place: it carries the package name it was opened with and
// a button that closes it.
class InstallSheetPlaceholder : public QDialog
{
    Q_OBJECT

public:
    InstallSheetPlaceholder(QString packageName, Localizer &l, QWidget *parent = nullptr);

    const QString &packageName() const { return m_packageName; }

private:
    QString m_packageName;
};

} // namespace ReveZE
