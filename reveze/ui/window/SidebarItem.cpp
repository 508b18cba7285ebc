#include "window/SidebarItem.h"

namespace ReveZE {

QString rawValue(SidebarItem item)
{
    switch (item) {
    case SidebarItem::Installed: return QStringLiteral("installed");
    case SidebarItem::Upgrades: return QStringLiteral("upgrades");
    case SidebarItem::Discover: return QStringLiteral("discover");
    case SidebarItem::Doctor: return QStringLiteral("doctor");
    case SidebarItem::Config: return QStringLiteral("config");
    }
    return {};
}

std::optional<SidebarItem> sidebarItemFromRawValue(const QString &raw)
{
    for (SidebarItem item : allSidebarItems()) {
        if (rawValue(item) == raw)
            return item;
    }
    return std::nullopt;
}

const QList<SidebarItem> &allSidebarItems()
{
    static const QList<SidebarItem> items = {SidebarItem::Installed, SidebarItem::Upgrades, SidebarItem::Discover,
                                             SidebarItem::Doctor, SidebarItem::Config};
    return items;
}

L titleKey(SidebarItem item)
{
    switch (item) {
    case SidebarItem::Installed: return L::sectionInstalled;
    case SidebarItem::Upgrades: return L::sectionUpgrades;
    case SidebarItem::Discover: return L::sectionDiscover;
    case SidebarItem::Doctor: return L::sectionDoctor;
    case SidebarItem::Config: return L::sectionConfig;
    }
    return L::sectionInstalled;
}

QString symbolName(SidebarItem item)
{
    switch (item) {
    case SidebarItem::Installed: return QStringLiteral("cube.box.fill");
    case SidebarItem::Upgrades: return QStringLiteral("arrow.up.circle");
    case SidebarItem::Discover: return QStringLiteral("magnifyingglass");
    case SidebarItem::Doctor: return QStringLiteral("stethoscope");
    case SidebarItem::Config: return QStringLiteral("gearshape");
    }
    return {};
}

} // namespace ReveZE
