#pragma once

// The sentence of the detail's Reason row: why a package is installed and,
// for a package a user asked for, who asked, compared with the user running
// ReveZE.

#include <InstallStatus.h>

#include <QString>

namespace ReveZE {

class Localizer;

namespace InstallReasonText {

// A package brought in as a dependency says so whoever installed it; a
// requested one names its user ("(you)" when that is exactly currentUser,
// case-sensitively), or says the user is unknown when zelk recorded none or
// an empty name. installedBy plays no part.
QString describe(const ZelkKit::InstalledDetail &detail, const QString &currentUser, const Localizer &l);

// The login name of the effective user, as zelk records it in
// installed_by_user; empty when the system knows no name for the user.
QString currentUser();

} // namespace InstallReasonText

} // namespace ReveZE
