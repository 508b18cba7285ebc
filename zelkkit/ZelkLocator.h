#pragma once

#include "Result.h"
#include "ZelkCLI.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace ZelkKit {

// Decides which zelk executable ReveZE drives: REVEZE_ZELK when set and not
// empty (and then nothing else), else the two fixed install locations, else
// "zelk" on the search path. It never starts the executable.
class ZelkLocator
{
public:
    // What the search reads; the process's own values by default, injectable
    // for tests.
    struct Environment {
        std::optional<QString> zelkVariable;   // REVEZE_ZELK
        std::optional<QString> searchPath;     // PATH
        QString workingDirectory;
        QStringList fixedCandidates;
        std::function<bool(const QString &)> isExecutable;

        static Environment current();
    };

    static const QString &defaultSearchPath();
    static const QStringList &defaultFixedCandidates();
    // The path exists and the current user may execute it.
    static bool isExecutableFile(const QString &path);

    static Result<ZelkCLI> locate();
    static Result<ZelkCLI> locate(const Environment &environment);

private:
    static std::optional<QString> which(const QString &name, const Environment &environment);
};

} // namespace ZelkKit
