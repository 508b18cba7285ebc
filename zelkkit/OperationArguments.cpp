#include "OperationArguments.h"

#include "ShellWords.h"
#include "TextSegments.h"

#include <utility>

namespace ZelkKit {

namespace {

// A time limit goes in as the flag and its value, two elements, when the
// value has any content.
void appendLimit(QStringList &arguments, const QString &flag, const QString &value)
{
    // QString::trimmed() removes exactly the White_Space characters, which
    // include every line break.
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return;
    arguments.append(flag);
    arguments.append(trimmed);
}

} // namespace

OperationArguments::OperationArguments(ZelkOperation operation_, QStringList packages_, bool resume_,
                                       bool removeOldVersions_, QString maxTime_, QString contentTime_,
                                       QString connectTimeout_, QString extraArguments_, bool assumeYes_,
                                       bool upgradeAll_)
    : operation(operation_)
    , packages(std::move(packages_))
    , resume(resume_)
    , removeOldVersions(removeOldVersions_)
    , maxTime(std::move(maxTime_))
    , contentTime(std::move(contentTime_))
    , connectTimeout(std::move(connectTimeout_))
    , extraArguments(std::move(extraArguments_))
    , assumeYes(assumeYes_)
    , upgradeAll(upgradeAll_)
{
}

QStringList OperationArguments::argumentList() const
{
    const bool isUpgrade = operation == ZelkOperation::Upgrade;
    QStringList arguments{rawValue(operation)};
    if (isUpgrade && upgradeAll) {
        arguments.append(QStringLiteral("--all"));
    } else {
        for (const QString &package : packages) {
            if (!package.isEmpty())
                arguments.append(package);
        }
    }
    if (resume)
        arguments.append(QStringLiteral("--continue"));
    if (isUpgrade && removeOldVersions)
        arguments.append(QStringLiteral("--remove-old-versions"));
    appendLimit(arguments, QStringLiteral("--max-time"), maxTime);
    appendLimit(arguments, QStringLiteral("--content-time"), contentTime);
    appendLimit(arguments, QStringLiteral("--connect-timeout"), connectTimeout);
    if (assumeYes)
        arguments.append(QStringLiteral("--yes"));
    arguments.append(ShellWords::split(extraArguments));
    return arguments;
}

QString OperationArguments::preview() const
{
    return QStringLiteral("zelk ") + argumentList().join(u' ');
}

bool OperationArguments::isEmptyPackageList() const
{
    if (operation == ZelkOperation::Upgrade && upgradeAll)
        return false;
    for (const QString &package : packages) {
        if (!TextSegments::trimmedSpacesAndTabs(package).isEmpty())
            return false;
    }
    return true;
}

} // namespace ZelkKit
