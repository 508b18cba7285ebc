// Fuzzes the strict decoding of zelk's JSON documents. The first byte picks
// the document (version, installed list, install status, catalog, package
// info, search result, outdated list, data sources, index status); the rest
// is zelk's standard output.
//
// Decoding must be all-or-nothing, and must agree with JsonOracle's plain
// reading of the same bytes: a decoded record holds exactly the values the
// oracle finds (required keys present with the right type, optional keys
// absent or null exactly when the field has no value, lists of the same
// length, enumeration texts among the listed ones); a failed one comes with a
// description, and the oracle finds the key contract broken.
#include "CLIInfo.h"
#include "InstallStatus.h"
#include "JsonOracle.h"
#include "Json.h"
#include "Models.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

using namespace ZelkKit;
using namespace JsonOracle;

namespace {

constexpr Presence Req = Presence::Required;
constexpr Presence Opt = Presence::Optional;

// For a required field the oracle's value is wrapped once more than the
// record's; these compare either way.
template<typename T>
void same(const T &decoded, const Valid<std::optional<T>> &expected)
{
    check(expected.has_value() && expected->has_value() && decoded == **expected);
}

template<typename T>
void same(const std::optional<T> &decoded, const Valid<std::optional<T>> &expected)
{
    check(expected.has_value() && decoded == *expected);
}

bool allValid() { return true; }

template<typename First, typename... Rest>
bool allValid(const First &first, const Rest &...rest)
{
    return first.has_value() && allValid(rest...);
}

bool checkCLIInfo(simdjson::dom::element root, const CLIInfo *decoded)
{
    const auto o = asObject(root);
    if (!o)
        return false;
    const auto version = string(*o, "version", Req);
    const auto protocol = integer(*o, "protocol", Req);
    const auto capabilities = strings(*o, "capabilities", Req);
    const auto platform = string(*o, "platform", Opt);
    const auto baseDir = string(*o, "base_dir", Opt);
    if (!allValid(version, protocol, capabilities, platform, baseDir))
        return false;
    if (decoded) {
        same(decoded->version, version);
        same(decoded->protocolNumber, protocol);
        same(decoded->capabilities, capabilities);
        same(decoded->platform, platform);
        same(decoded->baseDir, baseDir);
    }
    return true;
}

bool checkInstalledPackage(simdjson::dom::element element, const InstalledPackage *decoded)
{
    const auto o = asObject(element);
    if (!o)
        return false;
    const auto name = string(*o, "name", Req);
    const auto installed = strings(*o, "installed", Req);
    if (!allValid(name, installed))
        return false;
    if (decoded) {
        same(decoded->name, name);
        same(decoded->installed, installed);
    }
    return true;
}

bool checkInstalledList(simdjson::dom::element root, const InstalledList *decoded)
{
    const auto o = asObject(root);
    return o && records(*o, "packages", decoded ? &decoded->packages : nullptr, checkInstalledPackage);
}

bool checkDetail(simdjson::dom::element element, const InstalledDetail *decoded)
{
    const auto o = asObject(element);
    if (!o)
        return false;
    const auto name = string(*o, "name", Req);
    const auto version = string(*o, "version", Req);
    const auto versions = strings(*o, "versions", Req);
    const auto kind = enumeration(*o, "kind", {"pkg", "dep"});
    const auto requested = boolean(*o, "requested", Req);
    const auto installedAt = string(*o, "installed_at", Opt);
    const auto arch = string(*o, "arch", Opt);
    const auto tree = boolean(*o, "tree", Req);
    const auto linked = boolean(*o, "linked", Req);
    const auto linkedVersion = string(*o, "linked_version", Opt);
    const auto commands = strings(*o, "commands", Req);
    const auto deps = strings(*o, "deps", Req);
    const auto path = string(*o, "path", Req);
    const auto sizeBytes = integer(*o, "size_bytes", Req);
    const auto file = string(*o, "file", Req);
    const auto sha256 = string(*o, "sha256", Req);
    const auto source = string(*o, "source", Req);
    const auto installedBy = string(*o, "installed_by", Opt);
    const auto installedByUser = string(*o, "installed_by_user", Opt);
    if (!allValid(name, version, versions, kind, requested, installedAt, arch, tree, linked, linkedVersion,
                  commands, deps, path, sizeBytes, file, sha256, source, installedBy, installedByUser))
        return false;
    if (decoded) {
        same(decoded->name, name);
        same(decoded->version, version);
        same(decoded->versions, versions);
        check(decoded->kind == (*kind == 0 ? InstalledDetail::Kind::Package : InstalledDetail::Kind::Dependency));
        same(decoded->requested, requested);
        same(decoded->installedAt, installedAt);
        same(decoded->arch, arch);
        same(decoded->tree, tree);
        same(decoded->linked, linked);
        same(decoded->linkedVersion, linkedVersion);
        same(decoded->commands, commands);
        same(decoded->deps, deps);
        same(decoded->path, path);
        same(decoded->sizeBytes, sizeBytes);
        same(decoded->file, file);
        same(decoded->sha256, sha256);
        same(decoded->source, source);
        same(decoded->installedBy, installedBy);
        same(decoded->installedByUser, installedByUser);
        // The lookups never fail on whatever was decoded.
        (void)decoded->installedDate();
        (void)decoded->linkIsStale();
    }
    return true;
}

bool checkInstallStatus(simdjson::dom::element root, const InstallStatus *decoded)
{
    const auto o = asObject(root);
    if (!o)
        return false;
    const auto baseDir = string(*o, "base_dir", Req);
    if (!baseDir || !records(*o, "packages", decoded ? &decoded->packages : nullptr, checkDetail))
        return false;
    if (decoded) {
        same(decoded->baseDir, baseDir);
        // Every dependency entry is filed under exactly one name.
        qsizetype entries = 0;
        for (const InstalledDetail &detail : decoded->packages)
            entries += detail.deps.size();
        qsizetype filed = 0;
        const auto map = decoded->dependents();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            filed += it.value().size();
            check(decoded->dependents(it.key()).size() == it.value().size());
        }
        check(filed == entries);
    }
    return true;
}

bool checkCatalogPackage(simdjson::dom::element element, const CatalogPackage *decoded)
{
    const auto o = asObject(element);
    if (!o)
        return false;
    const auto name = string(*o, "name", Req);
    const auto description = string(*o, "description", Opt);
    const auto kind = enumeration(*o, "kind", {"pkg", "deps"});
    const auto latest = string(*o, "latest", Opt);
    const auto versions = strings(*o, "versions", Req);
    if (!allValid(name, description, kind, latest, versions))
        return false;
    if (decoded) {
        same(decoded->name, name);
        same(decoded->description, description);
        check(decoded->kind == (*kind == 0 ? CatalogPackage::Kind::Package : CatalogPackage::Kind::Dependency));
        same(decoded->latest, latest);
        same(decoded->versions, versions);
    }
    return true;
}

bool checkCatalog(simdjson::dom::element root, const CatalogDocument *decoded)
{
    const auto o = asObject(root);
    if (!o)
        return false;
    const auto schema = integer(*o, "schema", Opt);
    const auto generatedAt = string(*o, "generated_at", Opt);
    if (!allValid(schema, generatedAt)
        || !records(*o, "packages", decoded ? &decoded->packages : nullptr, checkCatalogPackage))
        return false;
    if (decoded) {
        same(decoded->schema, schema);
        same(decoded->generatedAt, generatedAt);
    }
    return true;
}

bool checkPackageInfo(simdjson::dom::element root, const PackageInfo *decoded)
{
    const auto o = asObject(root);
    if (!o)
        return false;
    const auto name = string(*o, "name", Req);
    const auto author = string(*o, "author", Opt);
    const auto description = string(*o, "description", Opt);
    const auto homepage = string(*o, "homepage", Opt);
    const auto license = string(*o, "license", Opt);
    const auto installed = strings(*o, "installed", Req);
    const auto available = strings(*o, "available", Req);
    const auto latest = string(*o, "latest", Opt);
    const auto minOS = string(*o, "min_os", Opt);
    const auto binName = string(*o, "bin_name", Opt);
    const auto url = string(*o, "url", Opt);
    const auto file = string(*o, "file", Opt);
    const auto sha256 = string(*o, "sha256", Opt);
    const auto deps = strings(*o, "deps", Opt);
    if (!allValid(name, author, description, homepage, license, installed, available, latest, minOS, binName, url,
                  file, sha256, deps))
        return false;
    if (decoded) {
        same(decoded->name, name);
        same(decoded->author, author);
        same(decoded->description, description);
        same(decoded->homepage, homepage);
        same(decoded->license, license);
        same(decoded->installed, installed);
        same(decoded->available, available);
        same(decoded->latest, latest);
        same(decoded->minOS, minOS);
        same(decoded->binName, binName);
        same(decoded->url, url);
        same(decoded->file, file);
        same(decoded->sha256, sha256);
        same(decoded->deps, deps);
        check(decoded->hasUpgrade() == (decoded->installedVersion() && decoded->availableVersion()
                                        && *decoded->installedVersion() != *decoded->availableVersion()));
    }
    return true;
}

bool checkSearch(simdjson::dom::element root, const SearchResult *decoded)
{
    const auto o = asObject(root);
    if (!o)
        return false;
    const auto query = string(*o, "query", Req);
    const auto all = boolean(*o, "all", Req);
    const auto packages = strings(*o, "packages", Req);
    if (!allValid(query, all, packages))
        return false;
    if (decoded) {
        same(decoded->query, query);
        same(decoded->all, all);
        same(decoded->packages, packages);
    }
    return true;
}

bool checkOutdatedItem(simdjson::dom::element element, const OutdatedItem *decoded)
{
    const auto o = asObject(element);
    if (!o)
        return false;
    const auto name = string(*o, "name", Req);
    const auto installed = string(*o, "installed", Req);
    const auto latest = string(*o, "latest", Req);
    const auto status = string(*o, "status", Req);
    const auto linked = string(*o, "linked", Opt);
    if (!allValid(name, installed, latest, status, linked))
        return false;
    if (decoded) {
        same(decoded->name, name);
        same(decoded->installed, installed);
        same(decoded->latest, latest);
        same(decoded->status, status);
        same(decoded->linked, linked);
    }
    return true;
}

bool checkOutdated(simdjson::dom::element root, const QList<OutdatedItem> *decoded)
{
    return records(root, decoded, checkOutdatedItem);
}

bool checkMirrorEntry(simdjson::dom::element element, const MirrorEntry *decoded)
{
    const auto o = asObject(element);
    if (!o)
        return false;
    const auto name = string(*o, "name", Req);
    const auto env = string(*o, "env", Opt);
    const auto source = string(*o, "source", Req);
    const auto requiresAuth = boolean(*o, "requires_auth", Opt);
    const auto user = string(*o, "user", Opt);
    const auto value = string(*o, "value", Opt);
    if (!allValid(name, env, source, requiresAuth, user, value))
        return false;
    if (decoded) {
        same(decoded->name, name);
        same(decoded->env, env);
        same(decoded->source, source);
        same(decoded->requiresAuth, requiresAuth);
        same(decoded->user, user);
        same(decoded->value, value);
    }
    return true;
}

bool checkMirrors(simdjson::dom::element root, const MirrorConfig *decoded)
{
    const auto o = asObject(root);
    return o && records(*o, "mirrors", decoded ? &decoded->mirrors : nullptr, checkMirrorEntry);
}

bool checkIndex(simdjson::dom::element root, const IndexStatus *decoded)
{
    const auto o = asObject(root);
    if (!o)
        return false;
    const auto path = string(*o, "path", Req);
    const auto exists = boolean(*o, "exists", Req);
    const auto ageSeconds = integer(*o, "age_seconds", Opt);
    const auto fresh = boolean(*o, "fresh", Opt);
    const auto maxAgeSeconds = integer(*o, "max_age_seconds", Opt);
    const auto schema = integer(*o, "schema", Opt);
    const auto generatedAt = string(*o, "generated_at", Opt);
    const auto indexCommit = string(*o, "index_commit", Opt);
    const auto packages = integer(*o, "packages", Opt);
    if (!allValid(path, exists, ageSeconds, fresh, maxAgeSeconds, schema, generatedAt, indexCommit, packages))
        return false;
    if (decoded) {
        same(decoded->path, path);
        same(decoded->exists, exists);
        same(decoded->ageSeconds, ageSeconds);
        same(decoded->fresh, fresh);
        same(decoded->maxAgeSeconds, maxAgeSeconds);
        same(decoded->schema, schema);
        same(decoded->generatedAt, generatedAt);
        same(decoded->indexCommit, indexCommit);
        same(decoded->packages, packages);
    }
    return true;
}

template<typename T, typename Decode, typename Check>
void run(const QByteArray &bytes, Decode decode, Check checkRecord)
{
    QString error;
    const std::optional<T> value = Json::decodeDocument<T>(bytes, decode, &error);
    // All-or-nothing: a value, or a description of what is wrong.
    check(value.has_value() || !error.isEmpty());

    // The same bytes decode the same way again (the parser is reused).
    QString again;
    const std::optional<T> second = Json::decodeDocument<T>(bytes, decode, &again);
    check(second.has_value() == value.has_value());
    check(value.has_value() || again == error);

    static simdjson::dom::parser parser;
    const QByteArray text = readable(bytes);
    simdjson::dom::element root;
    const simdjson::error_code code = parser.parse(text.constData(), size_t(text.size()), true).get(root);
    if (code == simdjson::NUMBER_ERROR) {
        // A number simdjson cannot hold; ReveZE reads such documents when the
        // number is under a key it ignores, which this plain reading cannot
        // tell. Only the all-or-nothing rule is checked then.
        return;
    }
    if (code != simdjson::SUCCESS) {
        check(!value.has_value());
        return;
    }
    const bool valid = checkRecord(root, value ? &*value : nullptr);
    check(valid == value.has_value());
    if (second)
        check(checkRecord(root, &*second));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 9) {
    case 0: run<CLIInfo>(bytes, &CLIInfo::fromJson, checkCLIInfo); break;
    case 1: run<InstalledList>(bytes, &InstalledList::fromJson, checkInstalledList); break;
    case 2: run<InstallStatus>(bytes, &InstallStatus::fromJson, checkInstallStatus); break;
    case 3: run<CatalogDocument>(bytes, &CatalogDocument::fromJson, checkCatalog); break;
    case 4: run<PackageInfo>(bytes, &PackageInfo::fromJson, checkPackageInfo); break;
    case 5: run<SearchResult>(bytes, &SearchResult::fromJson, checkSearch); break;
    case 6: run<QList<OutdatedItem>>(bytes, &OutdatedItem::listFromJson, checkOutdated); break;
    case 7: run<MirrorConfig>(bytes, &MirrorConfig::fromJson, checkMirrors); break;
    case 8: run<IndexStatus>(bytes, &IndexStatus::fromJson, checkIndex); break;
    }
    return 0;
}
