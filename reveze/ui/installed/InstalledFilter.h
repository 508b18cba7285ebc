#pragma once

// The kinds the Installed list can show, in the order of its filter pills.

#include "L.h"

#include <QList>
#include <QString>

#include <optional>

namespace ReveZE {

enum class InstalledFilter { All, Packages, Dependencies };

// "all", "packages", "dependencies" (also the id).
QString rawValue(InstalledFilter filter);
std::optional<InstalledFilter> installedFilterFromRawValue(const QString &raw);
const QList<InstalledFilter> &allInstalledFilters();
L labelKey(InstalledFilter filter);

} // namespace ReveZE
