#include "ZelkLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <unistd.h>

namespace ZelkKit {

ZelkLocator::Environment ZelkLocator::Environment::current()
{
    Environment environment;
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    if (system.contains(QStringLiteral("REVEZE_ZELK")))
        environment.zelkVariable = system.value(QStringLiteral("REVEZE_ZELK"));
    if (system.contains(QStringLiteral("PATH")))
        environment.searchPath = system.value(QStringLiteral("PATH"));
    environment.workingDirectory = QDir::currentPath();
    environment.fixedCandidates = defaultFixedCandidates();
    environment.isExecutable = &ZelkLocator::isExecutableFile;
    return environment;
}

const QString &ZelkLocator::defaultSearchPath()
{
    static const QString path = QStringLiteral("/usr/local/bin:/opt/homebrew/bin:/usr/bin:/bin:/usr/sbin:/sbin");
    return path;
}

const QStringList &ZelkLocator::defaultFixedCandidates()
{
    static const QStringList candidates{QStringLiteral("/opt/rurirud/lib/zelk"), QStringLiteral("/opt/rurirud/bin/zelk")};
    return candidates;
}

bool ZelkLocator::isExecutableFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    return ::access(native.constData(), F_OK) == 0 && ::access(native.constData(), X_OK) == 0;
}

Result<ZelkCLI> ZelkLocator::locate()
{
    return locate(Environment::current());
}

Result<ZelkCLI> ZelkLocator::locate(const Environment &environment)
{
    const auto isExecutable = environment.isExecutable ? environment.isExecutable : &ZelkLocator::isExecutableFile;
    if (environment.zelkVariable && !environment.zelkVariable->isEmpty()) {
        // Taken as it stands; a relative value is made absolute, since
        // QProcess would search PATH for a bare name.
        QString path = *environment.zelkVariable;
        if (QDir::isRelativePath(path))
            path = environment.workingDirectory + QLatin1Char('/') + path;
        if (isExecutable(path))
            return ZelkCLI(path);
        return ZelkCLIError::notFound();
    }
    for (const QString &candidate : environment.fixedCandidates) {
        if (isExecutable(candidate))
            return ZelkCLI(candidate);
    }
    if (const auto found = which(QStringLiteral("zelk"), environment))
        return ZelkCLI(*found);
    return ZelkCLIError::notFound();
}

std::optional<QString> ZelkLocator::which(const QString &name, const Environment &environment)
{
    const auto isExecutable = environment.isExecutable ? environment.isExecutable : &ZelkLocator::isExecutableFile;
    const QString searchPath = environment.searchPath.value_or(defaultSearchPath());
    const QStringList components = searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &component : components) {
        QString candidate = component + QLatin1Char('/') + name;
        if (isExecutable(candidate)) {
            // A relative component is relative to the working directory;
            // keep the answer usable by QProcess.
            if (QDir::isRelativePath(candidate))
                candidate = environment.workingDirectory + QLatin1Char('/') + candidate;
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace ZelkKit
