#include "installed/InstalledFilter.h"

namespace ReveZE {

QString rawValue(InstalledFilter filter)
{
    switch (filter) {
    case InstalledFilter::All: return QStringLiteral("all");
    case InstalledFilter::Packages: return QStringLiteral("packages");
    case InstalledFilter::Dependencies: return QStringLiteral("dependencies");
    }
    return {};
}

std::optional<InstalledFilter> installedFilterFromRawValue(const QString &raw)
{
    for (InstalledFilter filter : allInstalledFilters()) {
        if (rawValue(filter) == raw)
            return filter;
    }
    return std::nullopt;
}

const QList<InstalledFilter> &allInstalledFilters()
{
    static const QList<InstalledFilter> filters = {InstalledFilter::All, InstalledFilter::Packages,
                                                   InstalledFilter::Dependencies};
    return filters;
}

L labelKey(InstalledFilter filter)
{
    switch (filter) {
    case InstalledFilter::All: return L::filterAll;
    case InstalledFilter::Packages: return L::filterPackages;
    case InstalledFilter::Dependencies: return L::filterDependencies;
    }
    return L::filterAll;
}

} // namespace ReveZE
