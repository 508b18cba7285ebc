#include "CLIInfo.h"

namespace ZelkKit {

const QStringList &CLIInfo::requiredCapabilities()
{
    static const QStringList names{QStringLiteral("json-progress"), QStringLiteral("status")};
    return names;
}

bool CLIInfo::supports(const QString &capability) const
{
    return capabilities.contains(capability, Qt::CaseSensitive);
}

bool CLIInfo::isTooNew() const
{
    return protocolNumber > supportedProtocol;
}

QStringList CLIInfo::missingRequiredCapabilities() const
{
    QStringList missing;
    for (const QString &name : requiredCapabilities()) {
        if (!supports(name))
            missing.append(name);
    }
    return missing;
}

CLIInfo CLIInfo::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    CLIInfo info;
    info.version = object.string("version");
    info.protocolNumber = object.integer("protocol");
    info.capabilities = object.stringList("capabilities");
    info.platform = object.optionalString("platform");
    info.baseDir = object.optionalString("base_dir");
    return info;
}

} // namespace ZelkKit
