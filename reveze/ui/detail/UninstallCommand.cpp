#include "detail/UninstallCommand.h"

#include <PackageNameRules.h>

namespace ReveZE::UninstallCommand {

bool isPlainName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool letterOrDigit = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
        if (!letterOrDigit && !ZelkKit::PackageNameRules::allowedPunctuation.contains(c))
            return false;
    }
    return true;
}

QString forPackage(const QString &name)
{
    QString command = QStringLiteral("zelk uninstall ");
    if (isPlainName(name))
        return command + name;
    QString quoted = name;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return command + QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace ReveZE::UninstallCommand
