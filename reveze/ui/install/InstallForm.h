#pragma once

// What the user composed in the install sheet's form, and every value the
// sheet derives from it. Pure: the sheet keeps one of these, edits its
// fields as the user types and redraws from the derived values, and tests
// call them without a window.

#include "install/StyledText.h"
#include "L.h"

#include <OperationArguments.h>
#include <PackageNameRules.h>
#include <SafetyWarning.h>

#include <QList>
#include <QString>

#include <optional>

namespace ReveZE {

class Localizer;

struct InstallForm
{
    QString packageName;
    ZelkKit::ZelkOperation operation = ZelkKit::ZelkOperation::Install;
    bool upgradingAll = false;
    bool resume = false;
    bool removeOldVersions = false;
    QString maxTime;
    QString contentTime;
    QString connectTimeout;
    QString extraArguments;

    // The request: one package entry (the name field trimmed of spaces and
    // tabs; several names stay in that one entry), --yes always.
    ZelkKit::OperationArguments arguments() const;
    // Not while a run is under way, not without a name; upgrading all needs
    // none, otherwise the names as typed must be valid.
    bool canStart(bool running) const;
    // The refused characters; none while upgrading all.
    QList<ZelkKit::PackageNameRules::Problem> packageNameProblems() const;
    // Which sentence explains the name: refused characters first, then a
    // name that starts badly; none while upgrading all or when all is well.
    std::optional<L> packageNameHintKey() const;
    std::optional<QString> packageNameHint(const Localizer &l) const;
    // The name as typed, each refused character marked and, when any entry
    // starts badly, the first character of every entry. Positions are
    // counted in user-perceived characters and mapped back to text here.
    StyledText highlightedPackageName() const;
    // The command line coloured by role: "zelk", the command word, the
    // typed names (red on red while invalid), everything else as arguments.
    StyledText previewText() const;
    // The dangerous switches among the extra arguments, as typed now.
    QList<ZelkKit::SafetyWarning> dangerousArguments() const;
    // The inline line under the extra arguments, or none.
    std::optional<QString> dangerLine(const Localizer &l) const;

    friend bool operator==(const InstallForm &, const InstallForm &) = default;
};

} // namespace ReveZE
