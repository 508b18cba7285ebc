#pragma once

#include "window/NavigationScreen.h"

namespace ReveZE {

class AppModel;
class Localizer;

// The detail column for a selected package until the full detail screen
// takes its place: the package name as a large title. One is made per name,
// so nothing shown for one package carries over to the next.
class PackageDetailPlaceholder : public NavigationScreen
{
    Q_OBJECT

public:
    PackageDetailPlaceholder(AppModel &model, Localizer &l, QString name, QWidget *parent = nullptr);

    const QString &packageName() const { return m_name; }
    QString navigationTitle() const override { return m_name; }

private:
    QString m_name;
};

} // namespace ReveZE
