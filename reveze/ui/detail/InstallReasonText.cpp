#include "detail/InstallReasonText.h"

#include "Localizer.h"

#include <pwd.h>
#include <unistd.h>

namespace ReveZE::InstallReasonText {

QString describe(const ZelkKit::InstalledDetail &detail, const QString &currentUser, const Localizer &l)
{
    if (!detail.requested)
        return l(L::reasonDependency);
    if (!detail.installedByUser || detail.installedByUser->isEmpty())
        return l(L::reasonRequestedUnknown);
    const QString &user = *detail.installedByUser;
    if (user == currentUser)
        return l.format(L::reasonRequestedByYou, {user});
    return l.format(L::reasonRequestedByOther, {user});
}

QString currentUser()
{
    const passwd *entry = getpwuid(geteuid());
    return entry && entry->pw_name ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

} // namespace ReveZE::InstallReasonText
