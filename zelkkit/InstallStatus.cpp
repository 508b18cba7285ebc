#include "InstallStatus.h"

#include "InternetDateTime.h"

#include <algorithm>

namespace ZelkKit {

namespace {

// Plain string order by Unicode code point. QString's own operator< compares
// UTF-16 code units, which puts characters beyond the BMP (surrogate pairs)
// before U+E000..U+FFFF; shifting the code units fixes that.
char16_t codePointOrderKey(char16_t unit)
{
    if (unit >= 0xE000)
        return char16_t(unit - 0x800);
    if (unit >= 0xD800)
        return char16_t(unit + 0x2000);
    return unit;
}

bool codePointLess(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a.at(i).unicode();
        const char16_t y = b.at(i).unicode();
        if (x != y)
            return codePointOrderKey(x) < codePointOrderKey(y);
    }
    return a.size() < b.size();
}

// The package a dep entry names: its first non-empty run without "@"
// ("libz@1.3" -> "libz", "@x@1" -> "x"); the entry itself when it has none
// ("" and "@@").
QStringView dependencyKey(QStringView entry)
{
    const qsizetype start = [&] {
        qsizetype i = 0;
        while (i < entry.size() && entry.at(i) == u'@')
            ++i;
        return i;
    }();
    if (start == entry.size())
        return entry;
    const qsizetype end = entry.indexOf(u'@', start);
    return end < 0 ? entry.mid(start) : entry.mid(start, end - start);
}

} // namespace

InstalledPackage::InstalledPackage(QString packageName, QStringList installedVersions)
    : name(std::move(packageName)), installed(std::move(installedVersions))
{
}

std::optional<QString> InstalledPackage::newest() const
{
    if (installed.isEmpty())
        return std::nullopt;
    return installed.last();
}

InstalledPackage InstalledPackage::fromJson(simdjson::dom::element element, const QString &path, Json::Context &context)
{
    Json::Object object(element, path, context);
    InstalledPackage package;
    package.name = object.string("name");
    package.installed = object.stringList("installed");
    return package;
}

size_t qHash(const InstalledPackage &package, size_t seed)
{
    return qHashMulti(seed, package.name, package.installed);
}

InstalledList InstalledList::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    InstalledList list;
    list.packages = object.list<InstalledPackage>("packages", &InstalledPackage::fromJson);
    return list;
}

std::optional<QDateTime> InstalledDetail::installedDate() const
{
    if (!installedAt)
        return std::nullopt;
    return parseInternetDateTime(*installedAt);
}

bool InstalledDetail::linkIsStale() const
{
    if (!linked)
        return false;
    return !linkedVersion || *linkedVersion != version;
}

QLatin1StringView InstalledDetail::kindText(Kind kind)
{
    switch (kind) {
    case Kind::Package: return QLatin1StringView("pkg");
    case Kind::Dependency: return QLatin1StringView("dep");
    }
    return {};
}

InstalledDetail InstalledDetail::fromJson(simdjson::dom::element element, const QString &path, Json::Context &context)
{
    Json::Object object(element, path, context);
    InstalledDetail detail;
    detail.name = object.string("name");
    detail.version = object.string("version");
    detail.versions = object.stringList("versions");
    detail.kind = object.enumeration<Kind>("kind", {{"pkg", Kind::Package}, {"dep", Kind::Dependency}});
    detail.requested = object.boolean("requested");
    detail.installedAt = object.optionalString("installed_at");
    detail.arch = object.optionalString("arch");
    detail.tree = object.boolean("tree");
    detail.linked = object.boolean("linked");
    detail.linkedVersion = object.optionalString("linked_version");
    detail.commands = object.stringList("commands");
    detail.deps = object.stringList("deps");
    detail.path = object.string("path");
    detail.sizeBytes = object.integer("size_bytes");
    detail.file = object.string("file");
    detail.sha256 = object.string("sha256");
    detail.source = object.string("source");
    detail.installedBy = object.optionalString("installed_by");
    detail.installedByUser = object.optionalString("installed_by_user");
    return detail;
}

size_t qHash(const InstalledDetail &d, size_t seed)
{
    // An optional hashes as its presence followed by its value, so that "no
    // value" and "empty text" differ.
    seed = qHashMulti(seed, d.name, d.version, d.versions, InstalledDetail::kindText(d.kind), d.requested,
                      d.installedAt.has_value(), d.installedAt.value_or(QString()),
                      d.arch.has_value(), d.arch.value_or(QString()), d.tree, d.linked,
                      d.linkedVersion.has_value(), d.linkedVersion.value_or(QString()));
    return qHashMulti(seed, d.commands, d.deps, d.path, d.sizeBytes, d.file, d.sha256, d.source,
                      d.installedBy.has_value(), d.installedBy.value_or(QString()),
                      d.installedByUser.has_value(), d.installedByUser.value_or(QString()));
}

const InstalledDetail *InstallStatus::package(const QString &name) const
{
    for (const InstalledDetail &detail : packages) {
        if (detail.name == name)
            return &detail;
    }
    return nullptr;
}

QHash<QString, QStringList> InstallStatus::dependents() const
{
    QHash<QString, QStringList> map;
    for (const InstalledDetail &detail : packages) {
        for (const QString &entry : detail.deps)
            map[dependencyKey(entry).toString()].append(detail.name);
    }
    return map;
}

QStringList InstallStatus::dependents(const QString &name) const
{
    // The same filing rule as dependents(), without building the whole map.
    QStringList names;
    for (const InstalledDetail &detail : packages) {
        for (const QString &entry : detail.deps) {
            if (dependencyKey(entry) == name)
                names.append(detail.name);
        }
    }
    std::sort(names.begin(), names.end(), codePointLess);
    return names;
}

InstallStatus InstallStatus::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    InstallStatus status;
    status.baseDir = object.string("base_dir");
    status.packages = object.list<InstalledDetail>("packages", &InstalledDetail::fromJson);
    return status;
}

} // namespace ZelkKit
