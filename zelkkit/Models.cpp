#include "Models.h"

namespace ZelkKit {

namespace {

// The doctor's severity loses the tab and the Unicode space separators
// (category Zs) at both ends, and nothing else: line breaks, a carriage
// return included, are not blanks here.
bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedSpacesAndTabs(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text[begin]))
        ++begin;
    while (end > begin && isSpaceOrTab(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

std::optional<QString> firstOf(const QStringList &list)
{
    if (list.isEmpty())
        return std::nullopt;
    return list.first();
}

std::optional<QString> lastOf(const QStringList &list)
{
    if (list.isEmpty())
        return std::nullopt;
    return list.last();
}

} // namespace

// --- Catalog ---------------------------------------------------------------

QLatin1StringView CatalogPackage::kindText(Kind kind)
{
    switch (kind) {
    case Kind::Package: return QLatin1StringView("pkg");
    case Kind::Dependency: return QLatin1StringView("deps");
    }
    return {};
}

CatalogPackage CatalogPackage::fromJson(simdjson::dom::element element, const QString &path, Json::Context &context)
{
    Json::Object object(element, path, context);
    CatalogPackage package;
    package.name = object.string("name");
    package.description = object.optionalString("description");
    package.kind = object.enumeration<Kind>("kind", {{"pkg", Kind::Package}, {"deps", Kind::Dependency}});
    package.latest = object.optionalString("latest");
    package.versions = object.stringList("versions");
    return package;
}

size_t qHash(const CatalogPackage &p, size_t seed)
{
    // An optional hashes as its presence followed by its value.
    return qHashMulti(seed, p.name, p.description.has_value(), p.description.value_or(QString()),
                      CatalogPackage::kindText(p.kind), p.latest.has_value(), p.latest.value_or(QString()),
                      p.versions);
}

CatalogDocument CatalogDocument::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    CatalogDocument document;
    document.schema = object.optionalInteger("schema");
    document.generatedAt = object.optionalString("generated_at");
    document.packages = object.list<CatalogPackage>("packages", &CatalogPackage::fromJson);
    return document;
}

// --- Package info ----------------------------------------------------------

const QString &PackageInfo::displayName() const
{
    return binName ? *binName : name;
}

std::optional<QString> PackageInfo::installedVersion() const
{
    return lastOf(installed);
}

std::optional<QString> PackageInfo::availableVersion() const
{
    return firstOf(available);
}

bool PackageInfo::hasUpgrade() const
{
    if (installed.isEmpty() || available.isEmpty())
        return false;
    return installed.last() != available.first();
}

PackageInfo PackageInfo::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    PackageInfo info;
    info.name = object.string("name");
    info.author = object.optionalString("author");
    info.description = object.optionalString("description");
    info.homepage = object.optionalString("homepage");
    info.license = object.optionalString("license");
    info.installed = object.stringList("installed");
    info.available = object.stringList("available");
    info.latest = object.optionalString("latest");
    info.minOS = object.optionalString("min_os");
    info.binName = object.optionalString("bin_name");
    info.url = object.optionalString("url");
    info.file = object.optionalString("file");
    info.sha256 = object.optionalString("sha256");
    info.deps = object.optionalStringList("deps");
    return info;
}

size_t qHash(const PackageInfo &i, size_t seed)
{
    seed = qHashMulti(seed, i.name, i.author.has_value(), i.author.value_or(QString()),
                      i.description.has_value(), i.description.value_or(QString()),
                      i.homepage.has_value(), i.homepage.value_or(QString()),
                      i.license.has_value(), i.license.value_or(QString()), i.installed, i.available,
                      i.latest.has_value(), i.latest.value_or(QString()));
    return qHashMulti(seed, i.minOS.has_value(), i.minOS.value_or(QString()),
                      i.binName.has_value(), i.binName.value_or(QString()),
                      i.url.has_value(), i.url.value_or(QString()),
                      i.file.has_value(), i.file.value_or(QString()),
                      i.sha256.has_value(), i.sha256.value_or(QString()),
                      i.deps.has_value(), i.deps.value_or(QStringList()));
}

// --- Search ----------------------------------------------------------------

SearchResult SearchResult::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    SearchResult result;
    result.query = object.string("query");
    result.all = object.boolean("all");
    result.packages = object.stringList("packages");
    return result;
}

// --- Outdated --------------------------------------------------------------

OutdatedItem OutdatedItem::fromJson(simdjson::dom::element element, const QString &path, Json::Context &context)
{
    Json::Object object(element, path, context);
    OutdatedItem item;
    item.name = object.string("name");
    item.installed = object.string("installed");
    item.latest = object.string("latest");
    item.status = object.string("status");
    item.linked = object.optionalString("linked");
    return item;
}

QList<OutdatedItem> OutdatedItem::listFromJson(simdjson::dom::element element, Json::Context &context)
{
    return Json::arrayOf<OutdatedItem>(element, QString(), context, &OutdatedItem::fromJson);
}

size_t qHash(const OutdatedItem &item, size_t seed)
{
    return qHashMulti(seed, item.name, item.installed, item.latest, item.status, item.linked.has_value(),
                      item.linked.value_or(QString()));
}

// --- Mirrors and index -----------------------------------------------------

MirrorEntry MirrorEntry::fromJson(simdjson::dom::element element, const QString &path, Json::Context &context)
{
    Json::Object object(element, path, context);
    MirrorEntry entry;
    entry.name = object.string("name");
    entry.env = object.optionalString("env");
    entry.source = object.string("source");
    entry.requiresAuth = object.optionalBoolean("requires_auth");
    entry.user = object.optionalString("user");
    entry.value = object.optionalString("value");
    return entry;
}

size_t qHash(const MirrorEntry &e, size_t seed)
{
    return qHashMulti(seed, e.name, e.env.has_value(), e.env.value_or(QString()), e.source,
                      e.requiresAuth.has_value(), e.requiresAuth.value_or(false), e.user.has_value(),
                      e.user.value_or(QString()), e.value.has_value(), e.value.value_or(QString()));
}

MirrorConfig MirrorConfig::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    MirrorConfig config;
    config.mirrors = object.list<MirrorEntry>("mirrors", &MirrorEntry::fromJson);
    return config;
}

IndexStatus IndexStatus::fromJson(simdjson::dom::element element, Json::Context &context)
{
    Json::Object object(element, QString(), context);
    IndexStatus status;
    status.path = object.string("path");
    status.exists = object.boolean("exists");
    status.ageSeconds = object.optionalInteger("age_seconds");
    status.fresh = object.optionalBoolean("fresh");
    status.maxAgeSeconds = object.optionalInteger("max_age_seconds");
    status.schema = object.optionalInteger("schema");
    status.generatedAt = object.optionalString("generated_at");
    status.indexCommit = object.optionalString("index_commit");
    status.packages = object.optionalInteger("packages");
    return status;
}

// --- Doctor ----------------------------------------------------------------

QString DoctorFinding::id() const
{
    return severity + u'|' + check + u'|' + detail;
}

bool DoctorFinding::isError() const
{
    return severity.toLower() == QLatin1StringView("error");
}

QList<DoctorFinding> DoctorFinding::parse(const QString &text)
{
    QList<DoctorFinding> findings;
    for (const QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype firstTab = line.indexOf(u'\t');
        if (firstTab < 0)
            continue;
        const qsizetype secondTab = line.indexOf(u'\t', firstTab + 1);
        if (secondTab < 0)
            continue;
        findings.append(DoctorFinding{trimmedSpacesAndTabs(line.first(firstTab)),
                                      line.sliced(firstTab + 1, secondTab - firstTab - 1).toString(),
                                      line.sliced(secondTab + 1).toString()});
    }
    return findings;
}

size_t qHash(const DoctorFinding &finding, size_t seed)
{
    return qHashMulti(seed, finding.severity, finding.check, finding.detail);
}

} // namespace ZelkKit
