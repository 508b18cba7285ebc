#pragma once

#include "ZelkOperation.h"

#include <QString>
#include <QStringList>

namespace ZelkKit {

// One install, upgrade or reinstall request as the user composed it in the
// install sheet, and the exact argument vector and preview derived from it.
// A plain value: the fields are public and nothing here validates them (the
// package names have PackageNameRules, the extra words SafetyWarning).
class OperationArguments
{
public:
    OperationArguments(ZelkOperation operation, QStringList packages, bool resume, bool removeOldVersions,
                       QString maxTime, QString contentTime, QString connectTimeout, QString extraArguments,
                       bool assumeYes, bool upgradeAll);

    ZelkOperation operation;
    // One argument each, in order, passed unchanged; only empty entries are
    // left out.
    QStringList packages;
    // --continue: resume an interrupted download.
    bool resume;
    // --remove-old-versions; has an effect for upgrade only.
    bool removeOldVersions;
    // The three time limits as typed (free text such as 40s, 1min, 2h);
    // empty or white space only means not set.
    QString maxTime;
    QString contentTime;
    QString connectTimeout;
    // Free text split by ShellWords; its words come last.
    QString extraArguments;
    // --yes: answer yes to zelk's questions.
    bool assumeYes;
    // --all instead of the packages; has an effect for upgrade only.
    bool upgradeAll;

    // The arguments after the executable name: the command word, "--all" or
    // the packages, "--continue", "--remove-old-versions", the time limits
    // ("--max-time", "--content-time", "--connect-timeout", each followed by
    // its value as a separate element, the value trimmed of white space and
    // line breaks), "--yes", then the extra words. The order never depends on
    // the order in which the user set the options.
    QStringList argumentList() const;

    // "zelk" and the arguments joined with single blanks, for display only:
    // nothing is quoted, so an element with a blank inside reads like two and
    // an empty element shows as two adjacent blanks.
    QString preview() const;

    // True when the request names no package: never for upgrade-all;
    // otherwise when every entry is empty once trimmed of spaces and tabs
    // (line breaks are not trimmed here), and for no entries at all.
    bool isEmptyPackageList() const;

    bool removeOldVersionsAvailable() const { return operation == ZelkOperation::Upgrade; }

    friend bool operator==(const OperationArguments &, const OperationArguments &) = default;
};

} // namespace ZelkKit
