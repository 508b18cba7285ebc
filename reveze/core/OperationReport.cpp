#include "OperationReport.h"

#include <QCoreApplication>

#include <algorithm>

namespace ReveZE {

QString OperationReport::text() const
{
    const QString unknown = QStringLiteral("?");
    QStringList lines;
    lines.reserve(log.size() + 5);
    lines.append(QStringLiteral("ReveZE ") + appVersion);
    lines.append(QStringLiteral("Quindle ") + cliVersion.value_or(unknown) + QStringLiteral(" (protocol ")
                 + (cliProtocol ? QString::number(*cliProtocol) : unknown) + u')');
    if (errorCode)
        lines.append(QStringLiteral("error code: ") + *errorCode);
    lines.append(QString());
    lines.append(log);
    if (failure) {
        // A failure that came from an error event already stands in the log as
        // "error: <message>"; repeat only what the log does not show. An empty
        // failure says nothing the log could contain (QString::contains would
        // find it everywhere), so it always gets its line.
        const QString &f = *failure;
        const bool inLog = !f.isEmpty() && std::any_of(log.cbegin(), log.cend(), [&f](const QString &entry) {
            return entry.contains(f, Qt::CaseSensitive);
        });
        if (!inLog)
            lines.append(QStringLiteral("failure: ") + f);
    }
    return lines.join(u'\n');
}

QString OperationReport::applicationVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("?") : version;
}

} // namespace ReveZE
