#pragma once

// The sections of ReveZE's window, in the order of the sidebar rows.

#include "L.h"

#include <QList>
#include <QString>

#include <optional>

namespace ReveZE {

enum class SidebarItem { Installed, Upgrades, Discover, Doctor, Config };

// "installed", "upgrades", "discover", "doctor", "config" (also the id).
QString rawValue(SidebarItem item);
// The section whose raw value is exactly `raw`; no value for anything else.
std::optional<SidebarItem> sidebarItemFromRawValue(const QString &raw);
// Every section, in sidebar order.
const QList<SidebarItem> &allSidebarItems();
// The key of the section's title.
L titleKey(SidebarItem item);
// The section's symbol name (Symbols).
QString symbolName(SidebarItem item);

} // namespace ReveZE
