#include "ZelkOperation.h"

namespace ZelkKit {

QString rawValue(ZelkOperation operation)
{
    switch (operation) {
    case ZelkOperation::Install: return QStringLiteral("install");
    case ZelkOperation::Upgrade: return QStringLiteral("upgrade");
    case ZelkOperation::Reinstall: return QStringLiteral("reinstall");
    }
    return QString();
}

std::optional<ZelkOperation> operationFromRawValue(QStringView raw)
{
    if (raw == u"install")
        return ZelkOperation::Install;
    if (raw == u"upgrade")
        return ZelkOperation::Upgrade;
    if (raw == u"reinstall")
        return ZelkOperation::Reinstall;
    return std::nullopt;
}

} // namespace ZelkKit
