#include "SimRecords.h"

#include "JsonWriter.h"

#include <QCryptographicHash>

#include <simdjson.h>

namespace ZelkSim {

namespace {

// Lenient readers: a missing key or one of another type gives the fallback.
std::optional<simdjson::dom::element> member(const simdjson::dom::object &object, std::string_view key)
{
    simdjson::dom::element element;
    if (object.at_key(key).get(element) != simdjson::SUCCESS || element.is_null())
        return std::nullopt;
    return element;
}

QString text(const simdjson::dom::object &object, std::string_view key, const QString &fallback = {})
{
    std::string_view value;
    const auto element = member(object, key);
    if (!element || element->get_string().get(value) != simdjson::SUCCESS)
        return fallback;
    return QString::fromUtf8(value.data(), qsizetype(value.size()));
}

QStringList texts(const simdjson::dom::object &object, std::string_view key)
{
    QStringList result;
    simdjson::dom::array array;
    const auto element = member(object, key);
    if (!element || element->get_array().get(array) != simdjson::SUCCESS)
        return result;
    result.reserve(qsizetype(array.size()));
    for (simdjson::dom::element item : array) {
        std::string_view value;
        if (item.get_string().get(value) == simdjson::SUCCESS)
            result.append(QString::fromUtf8(value.data(), qsizetype(value.size())));
    }
    return result;
}

std::optional<qint64> optionalInteger(const simdjson::dom::object &object, std::string_view key)
{
    const auto element = member(object, key);
    if (!element)
        return std::nullopt;
    int64_t value = 0;
    if (element->get_int64().get(value) == simdjson::SUCCESS)
        return value;
    double number = 0;
    if (element->get_double().get(number) == simdjson::SUCCESS)
        return qint64(number);
    return std::nullopt;
}

qint64 integer(const simdjson::dom::object &object, std::string_view key, qint64 fallback = 0)
{
    return optionalInteger(object, key).value_or(fallback);
}

std::optional<bool> optionalBoolean(const simdjson::dom::object &object, std::string_view key)
{
    bool value = false;
    const auto element = member(object, key);
    if (!element || element->get_bool().get(value) != simdjson::SUCCESS)
        return std::nullopt;
    return value;
}

bool boolean(const simdjson::dom::object &object, std::string_view key)
{
    return optionalBoolean(object, key).value_or(false);
}

struct FaultName {
    Fault fault;
    QLatin1String text;
};

const FaultName faultNames[] = {
    {Fault::network, QLatin1String("network")},
    {Fault::tls, QLatin1String("tls")},
    {Fault::http, QLatin1String("http")},
    {Fault::data, QLatin1String("data")},
    {Fault::disk, QLatin1String("disk")},
    {Fault::permission, QLatin1String("permission")},
    {Fault::crash, QLatin1String("crash")},
};

} // namespace

Fault faultFromText(const QString &text)
{
    for (const FaultName &name : faultNames) {
        if (text == name.text)
            return name.fault;
    }
    return Fault::none;
}

QString faultText(Fault fault)
{
    for (const FaultName &name : faultNames) {
        if (fault == name.fault)
            return name.text;
    }
    return {};
}

CatalogEntry CatalogEntry::fromJson(const simdjson::dom::object &object)
{
    CatalogEntry entry;
    entry.name = text(object, "name");
    entry.description = text(object, "description");
    entry.kind = text(object, "kind", QStringLiteral("pkg"));
    entry.versions = texts(object, "versions");
    entry.author = text(object, "author");
    entry.homepage = text(object, "homepage");
    entry.license = text(object, "license");
    entry.binName = text(object, "bin_name");
    entry.minOS = text(object, "min_os");
    entry.deps = texts(object, "deps");
    entry.commands = texts(object, "commands");
    entry.sizeBytes = integer(object, "size_bytes");
    entry.fault = faultFromText(text(object, "fault"));
    return entry;
}

void CatalogEntry::write(JsonWriter &json) const
{
    json.beginObject()
        .field("name", name)
        .optionalField("description", description)
        .field("kind", kind)
        .stringsField("versions", versions)
        .optionalField("author", author)
        .optionalField("homepage", homepage)
        .optionalField("license", license)
        .optionalField("bin_name", binName)
        .optionalField("min_os", minOS);
    if (!deps.isEmpty())
        json.stringsField("deps", deps);
    if (!commands.isEmpty())
        json.stringsField("commands", commands);
    json.integerField("size_bytes", sizeBytes).optionalField("fault", faultText(fault)).endObject();
}

InstalledEntry InstalledEntry::fromJson(const simdjson::dom::object &object)
{
    InstalledEntry entry;
    entry.name = text(object, "name");
    entry.version = text(object, "version");
    entry.versions = texts(object, "versions");
    if (entry.versions.isEmpty() && !entry.version.isEmpty())
        entry.versions.append(entry.version);
    entry.dependency = text(object, "kind") == QLatin1String("dep");
    entry.requested = boolean(object, "requested");
    entry.installedAt = text(object, "installed_at");
    entry.arch = text(object, "arch");
    entry.tree = boolean(object, "tree");
    entry.linked = boolean(object, "linked");
    entry.linkedVersion = text(object, "linked_version");
    entry.commands = texts(object, "commands");
    entry.deps = texts(object, "deps");
    entry.sizeBytes = integer(object, "size_bytes");
    entry.source = text(object, "source");
    entry.installedBy = text(object, "installed_by");
    entry.installedByUser = text(object, "installed_by_user");
    entry.pinned = boolean(object, "pinned");
    return entry;
}

void InstalledEntry::write(JsonWriter &json) const
{
    json.beginObject()
        .field("name", name)
        .field("version", version)
        .stringsField("versions", versions)
        .field("kind", dependency ? QLatin1String("dep") : QLatin1String("pkg"))
        .booleanField("requested", requested)
        .optionalField("installed_at", installedAt)
        .optionalField("arch", arch);
    if (tree)
        json.booleanField("tree", true);
    json.booleanField("linked", linked).optionalField("linked_version", linkedVersion);
    if (!commands.isEmpty())
        json.stringsField("commands", commands);
    if (!deps.isEmpty())
        json.stringsField("deps", deps);
    json.integerField("size_bytes", sizeBytes)
        .optionalField("source", source)
        .optionalField("installed_by", installedBy)
        .optionalField("installed_by_user", installedByUser);
    if (pinned)
        json.booleanField("pinned", true);
    json.endObject();
}

MirrorSource MirrorSource::fromJson(const simdjson::dom::object &object)
{
    MirrorSource mirror;
    mirror.name = text(object, "name");
    mirror.env = text(object, "env");
    mirror.source = text(object, "source", QStringLiteral("config"));
    mirror.requiresAuth = optionalBoolean(object, "requires_auth");
    mirror.user = text(object, "user");
    mirror.value = text(object, "value");
    return mirror;
}

void MirrorSource::write(JsonWriter &json) const
{
    json.beginObject().field("name", name).optionalField("env", env).field("source", source);
    if (requiresAuth)
        json.booleanField("requires_auth", *requiresAuth);
    json.optionalField("user", user).optionalField("value", value).endObject();
}

IndexInfo IndexInfo::fromJson(const simdjson::dom::object &object)
{
    IndexInfo index;
    index.refreshedAt = optionalInteger(object, "refreshed_at");
    index.refreshedAgoSeconds = optionalInteger(object, "refreshed_ago_seconds");
    index.maxAgeSeconds = integer(object, "max_age_seconds", 86400);
    index.schema = integer(object, "schema", 3);
    index.generatedAt = text(object, "generated_at");
    index.indexCommit = text(object, "index_commit");
    return index;
}

void IndexInfo::write(JsonWriter &json) const
{
    json.beginObject();
    if (refreshedAt)
        json.integerField("refreshed_at", *refreshedAt);
    if (refreshedAgoSeconds)
        json.integerField("refreshed_ago_seconds", *refreshedAgoSeconds);
    json.integerField("max_age_seconds", maxAgeSeconds)
        .integerField("schema", schema)
        .optionalField("generated_at", generatedAt)
        .optionalField("index_commit", indexCommit)
        .endObject();
}

SimConfig SimConfig::fromJson(const simdjson::dom::object &object)
{
    SimConfig config;
    config.version = text(object, "version", QStringLiteral("0.9.4"));
    config.protocol = integer(object, "protocol", 1);
    if (member(object, "capabilities"))
        config.capabilities = texts(object, "capabilities");
    else
        config.capabilities = {QStringLiteral("json-progress"), QStringLiteral("status")};
    config.platform = text(object, "platform");
    config.osVersion = text(object, "os_version");
    config.arch = text(object, "arch", QStringLiteral("arm64"));
    config.baseDir = text(object, "base_dir", QStringLiteral("/opt/rurirud"));
    return config;
}

void SimConfig::write(JsonWriter &json) const
{
    json.beginObject()
        .lineBreak()
        .field("version", version)
        .lineBreak()
        .integerField("protocol", protocol)
        .lineBreak()
        .stringsField("capabilities", capabilities)
        .lineBreak()
        .optionalField("platform", platform)
        .lineBreak()
        .optionalField("os_version", osVersion)
        .lineBreak()
        .optionalField("arch", arch)
        .lineBreak()
        .field("base_dir", baseDir)
        .lineBreak()
        .endObject();
}

Finding Finding::fromJson(const simdjson::dom::object &object)
{
    return {text(object, "severity"), text(object, "check"), text(object, "detail")};
}

void Finding::write(JsonWriter &json) const
{
    json.beginObject().field("severity", severity).field("check", check).field("detail", detail).endObject();
}

int compareVersions(const QString &a, const QString &b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        const QString l = i < left.size() ? left.at(i) : QStringLiteral("0");
        const QString r = i < right.size() ? right.at(i) : QStringLiteral("0");
        bool lNumber = false;
        bool rNumber = false;
        const qlonglong ln = l.toLongLong(&lNumber);
        const qlonglong rn = r.toLongLong(&rNumber);
        if (lNumber && rNumber) {
            if (ln != rn)
                return ln < rn ? -1 : 1;
        } else if (const int c = l.compare(r); c != 0) {
            return c < 0 ? -1 : 1;
        }
    }
    return 0;
}

QString maskPassword(const QString &address)
{
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    if (schemeEnd < 0)
        return address;
    const qsizetype authorityStart = schemeEnd + 3;
    qsizetype authorityEnd = address.indexOf(QLatin1Char('/'), authorityStart);
    if (authorityEnd < 0)
        authorityEnd = address.size();
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'), authorityEnd - 1);
    if (at < authorityStart)
        return address;
    const qsizetype colon = address.indexOf(QLatin1Char(':'), authorityStart);
    if (colon < 0 || colon > at || colon + 1 == at)
        return address;
    return address.left(colon + 1) + QLatin1String("****") + address.mid(at);
}

QString packagePath(const QString &baseDir, const QString &name, const QString &version)
{
    return baseDir + QLatin1String("/pkgs/") + name + QLatin1Char('/') + version;
}

QString packageFile(const QString &name, const QString &version, const QString &arch)
{
    return name + QLatin1Char('-') + version + QLatin1Char('-') + arch + QLatin1String(".tar.zst");
}

QString packageSha256(const QString &name, const QString &version)
{
    const QByteArray text = (name + QLatin1Char('@') + version).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
}

} // namespace ZelkSim
