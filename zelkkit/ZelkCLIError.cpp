#include "ZelkCLIError.h"

namespace ZelkKit {

ZelkCLIError ZelkCLIError::launchFailed(QString detail)
{
    return ZelkCLIError(Kind::LaunchFailed, std::move(detail), 0);
}

ZelkCLIError ZelkCLIError::commandFailed(qint32 exitCode, QString message)
{
    return ZelkCLIError(Kind::CommandFailed, std::move(message), exitCode);
}

ZelkCLIError ZelkCLIError::decodeFailed(QString detail)
{
    return ZelkCLIError(Kind::DecodeFailed, std::move(detail), 0);
}

ZelkCLIError ZelkCLIError::notFound()
{
    return ZelkCLIError(Kind::NotFound, QString(), 0);
}

QString ZelkCLIError::errorDescription() const
{
    switch (m_kind) {
    case Kind::LaunchFailed:
        return QStringLiteral("Could not start `zelk`: ") + m_text;
    case Kind::CommandFailed:
        if (!m_text.isEmpty())
            return m_text;
        return QStringLiteral("`zelk` exited with status %1.").arg(m_exitCode);
    case Kind::DecodeFailed:
        return QStringLiteral("Could not read `zelk` output: ") + m_text;
    case Kind::NotFound:
        break;
    }
    return QStringLiteral("Could not find the `zelk` executable. Set REVEZE_ZELK or install Quindle at /opt/rurirud.");
}

} // namespace ZelkKit
