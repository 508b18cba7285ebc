#include "QueryCommands.h"

#include "EventWriter.h"
#include "JsonWriter.h"
#include "OperationLock.h"
#include "Pace.h"
#include "StateStore.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QSet>
#include <QThread>

#include <algorithm>

namespace ZelkSim {

namespace {

// The switches and words one command was given.
struct Arguments {
    QStringList words;
    QSet<QString> switches;
    QString unknown; // the first switch the command does not take

    bool has(QLatin1String name) const { return switches.contains(name); }
};

Arguments parse(const QStringList &arguments, std::initializer_list<QLatin1String> accepted)
{
    Arguments result;
    bool switchesEnded = false;
    for (const QString &argument : arguments) {
        if (!switchesEnded && argument == QLatin1String("--")) {
            switchesEnded = true;
        } else if (!switchesEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (std::find(accepted.begin(), accepted.end(), argument) == accepted.end()) {
                if (result.unknown.isEmpty())
                    result.unknown = argument;
            } else {
                result.switches.insert(argument);
            }
        } else {
            result.words.append(argument);
        }
    }
    return result;
}

int usageError(const QString &command, const QString &problem)
{
    printErr(QStringLiteral("zelk %1: %2\nRun `zelk help` for the commands and their options.\n").arg(command, problem));
    return 2;
}

// Checks the switches and the number of words; on a problem prints it and
// gives the exit status to return.
std::optional<int> refuse(const QString &command, const Arguments &arguments, qsizetype minWords, qsizetype maxWords)
{
    if (!arguments.unknown.isEmpty())
        return usageError(command, QStringLiteral("unknown option '%1'").arg(arguments.unknown));
    if (arguments.words.size() < minWords)
        return usageError(command, QStringLiteral("missing argument"));
    if (arguments.words.size() > maxWords)
        return usageError(command, QStringLiteral("unexpected argument '%1'").arg(arguments.words.at(maxWords)));
    return std::nullopt;
}

void printJson(const JsonWriter &document)
{
    printOutBytes(document.bytes() + '\n');
}

QString nowText()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

QString durationText(qint64 seconds)
{
    if (seconds < 120)
        return QStringLiteral("%1s").arg(seconds);
    if (seconds < 7200)
        return QStringLiteral("%1m").arg(seconds / 60);
    return QStringLiteral("%1h").arg(seconds / 3600);
}

QList<InstalledEntry> sortedByName(QList<InstalledEntry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const InstalledEntry &a, const InstalledEntry &b) { return a.name < b.name; });
    return entries;
}

QString indexPath(const SimConfig &config)
{
    return config.baseDir + QLatin1String("/var/index");
}

} // namespace

int QueryCommands::version(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("version"), parsed, 0, 0))
        return *status;
    const SimConfig &config = m_store.config();
    if (!parsed.has(QLatin1String("--json"))) {
        printOut(QStringLiteral("zelk %1 (zelk-sim, protocol %2)\n").arg(config.version).arg(config.protocol));
        return 0;
    }
    JsonWriter json;
    json.beginObject()
        .field("version", config.version)
        .integerField("protocol", config.protocol)
        .stringsField("capabilities", config.capabilities)
        .optionalField("platform", config.platform)
        .field("base_dir", config.baseDir)
        .field("implementation", QLatin1String("zelk-sim"))
        .endObject();
    printJson(json);
    return 0;
}

int QueryCommands::list(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("list"), parsed, 0, 0))
        return *status;
    const QList<InstalledEntry> entries = sortedByName(m_store.installed());
    if (!parsed.has(QLatin1String("--json"))) {
        QString text;
        for (const InstalledEntry &entry : entries)
            text += entry.name + QLatin1Char(' ') + entry.versions.join(QLatin1Char(' ')) + QLatin1Char('\n');
        printOut(text);
        return 0;
    }
    JsonWriter json;
    json.beginObject().key("packages").beginArray();
    for (const InstalledEntry &entry : entries)
        json.beginObject().field("name", entry.name).stringsField("installed", entry.versions).endObject();
    json.endArray().endObject();
    printJson(json);
    return 0;
}

void QueryCommands::writeStatusRecord(JsonWriter &json, const InstalledEntry &entry)
{
    const SimConfig &config = m_store.config();
    const QString arch = entry.arch.isEmpty() ? config.arch : entry.arch;
    json.beginObject()
        .field("name", entry.name)
        .field("version", entry.version)
        .stringsField("versions", entry.versions)
        .field("kind", entry.dependency ? QLatin1String("dep") : QLatin1String("pkg"))
        .booleanField("requested", entry.requested)
        .optionalField("installed_at", entry.installedAt)
        .field("arch", arch)
        .booleanField("tree", entry.tree)
        .booleanField("linked", entry.linked)
        .optionalField("linked_version", entry.linkedVersion)
        .stringsField("commands", entry.commands)
        .stringsField("deps", entry.deps)
        .field("path", packagePath(config.baseDir, entry.name, entry.version))
        .integerField("size_bytes", entry.sizeBytes)
        .field("file", packageFile(entry.name, entry.version, arch))
        .field("sha256", packageSha256(entry.name, entry.version))
        .field("source", entry.source.isEmpty() ? QStringLiteral("local") : entry.source)
        .optionalField("installed_by", entry.installedBy)
        .optionalField("installed_by_user", entry.installedByUser)
        .endObject();
}

int QueryCommands::status(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("status"), parsed, 0, 0))
        return *status;
    const QList<InstalledEntry> entries = sortedByName(m_store.installed());
    if (!parsed.has(QLatin1String("--json"))) {
        QString text = QStringLiteral("base_dir: %1\n").arg(m_store.config().baseDir);
        for (const InstalledEntry &entry : entries) {
            text += QStringLiteral("%1 %2 (%3%4)\n")
                        .arg(entry.name, entry.version,
                             entry.dependency ? QStringLiteral("dependency") : QStringLiteral("package"),
                             entry.requested ? QStringLiteral(", requested") : QString());
        }
        printOut(text);
        return 0;
    }
    JsonWriter json;
    json.beginObject().field("base_dir", m_store.config().baseDir).key("packages").beginArray();
    for (const InstalledEntry &entry : entries)
        writeStatusRecord(json, entry);
    json.endArray().endObject();
    printJson(json);
    return 0;
}

int QueryCommands::catalog(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("catalog"), parsed, 0, 0))
        return *status;
    const QList<CatalogEntry> &entries = m_store.catalog();
    if (!parsed.has(QLatin1String("--json"))) {
        QString text;
        for (const CatalogEntry &entry : entries)
            text += QStringLiteral("%1 %2  %3\n").arg(entry.name, entry.latest(), entry.description);
        printOut(text);
        return 0;
    }
    const IndexInfo &index = m_store.index();
    JsonWriter json;
    json.beginObject()
        .integerField("schema", index.schema)
        .optionalField("generated_at", index.generatedAt)
        .key("packages")
        .beginArray();
    for (const CatalogEntry &entry : entries) {
        json.beginObject()
            .field("name", entry.name)
            .optionalField("description", entry.description)
            .field("kind", entry.kind)
            .optionalField("latest", entry.latest())
            .stringsField("versions", entry.versions)
            .endObject();
    }
    json.endArray().endObject();
    printJson(json);
    return 0;
}

int QueryCommands::outdated(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("outdated"), parsed, 0, 0))
        return *status;
    JsonWriter json;
    json.beginArray();
    QString text;
    for (const InstalledEntry &entry : sortedByName(m_store.installed())) {
        const QString latest = m_store.upgradeFor(entry);
        if (latest.isEmpty())
            continue;
        const QString state = entry.pinned ? QStringLiteral("pinned") : QStringLiteral("outdated");
        json.beginObject()
            .field("name", entry.name)
            .field("installed", entry.version)
            .field("latest", latest)
            .field("status", state)
            .optionalField("linked", entry.linked ? entry.linkedVersion : QString())
            .endObject();
        text += QStringLiteral("%1 %2 -> %3%4\n")
                    .arg(entry.name, entry.version, latest, entry.pinned ? QStringLiteral(" (pinned)") : QString());
    }
    json.endArray();
    if (parsed.has(QLatin1String("--json")))
        printJson(json);
    else
        printOut(text);
    return 0;
}

int QueryCommands::info(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("info"), parsed, 1, 1))
        return *status;
    // A real zelk reads the index from disk for every info; the benchmarks
    // give it that time with ZELK_SIM_INFO_DELAY_MS.
    if (const int delay = qEnvironmentVariableIntValue("ZELK_SIM_INFO_DELAY_MS"); delay > 0)
        QThread::msleep(ulong(delay));
    const QString name = parsed.words.first();
    const CatalogEntry *indexed = m_store.catalogEntry(name);
    const InstalledEntry *installed = m_store.installedEntry(name);
    if (!indexed && !installed) {
        printErr(QStringLiteral("zelk info: no package named \"%1\" in the index\n"
                                "Run `zelk search %1` to look for similar names.\n")
                     .arg(name));
        return 1;
    }
    if (parsed.has(QLatin1String("--json"))) {
        const SimConfig &config = m_store.config();
        JsonWriter json;
        json.beginObject()
            .field("name", name)
            .stringsField("installed", installed ? installed->versions : QStringList())
            .stringsField("available", indexed ? indexed->versions : QStringList());
        if (indexed) {
            json.optionalField("author", indexed->author)
                .optionalField("description", indexed->description)
                .optionalField("homepage", indexed->homepage)
                .optionalField("license", indexed->license)
                .optionalField("latest", indexed->latest())
                .optionalField("min_os", indexed->minOS)
                .optionalField("bin_name", indexed->binName)
                .stringsField("deps", indexed->deps);
            if (!indexed->latest().isEmpty()) {
                const QString file = packageFile(name, indexed->latest(), config.arch);
                json.field("file", file).field("sha256", packageSha256(name, indexed->latest()));
                if (const auto mirror = m_store.packageMirror()) {
                    QString base = maskPassword(StateStore::effectiveAddress(*mirror));
                    if (!base.endsWith(QLatin1Char('/')))
                        base += QLatin1Char('/');
                    json.field("url", base + name + QLatin1Char('/') + file);
                }
            }
        }
        json.endObject();
        printJson(json);
        return 0;
    }
    QString text = QStringLiteral("%1: %2\n").arg(name, indexed ? indexed->description : QStringLiteral("(not in the index)"));
    text += QStringLiteral("installed: %1\n").arg(installed ? installed->versions.join(QLatin1String(", ")) : QStringLiteral("no"));
    if (indexed)
        text += QStringLiteral("available: %1\n").arg(indexed->versions.join(QLatin1String(", ")));
    printOut(text);
    return 0;
}

int QueryCommands::search(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json"), QLatin1String("--all")});
    const bool all = parsed.has(QLatin1String("--all"));
    if (const auto status = refuse(QStringLiteral("search"), parsed, all ? 0 : 1, all ? 0 : 1))
        return *status;
    const QString query = all ? QString() : parsed.words.first();
    QStringList names;
    for (const CatalogEntry &entry : m_store.catalog()) {
        if (all || entry.name.contains(query, Qt::CaseInsensitive)
            || entry.description.contains(query, Qt::CaseInsensitive))
            names.append(entry.name);
    }
    if (!parsed.has(QLatin1String("--json"))) {
        printOut(names.isEmpty() ? QString() : names.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        return 0;
    }
    JsonWriter json;
    json.beginObject().field("query", query).booleanField("all", all).stringsField("packages", names).endObject();
    printJson(json);
    return 0;
}

int QueryCommands::mirror(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("mirror"), parsed, 0, 1))
        return *status;
    if (!parsed.words.isEmpty() && parsed.words.first() != QLatin1String("get"))
        return usageError(QStringLiteral("mirror"), QStringLiteral("unknown action '%1' (try `zelk mirror get`)")
                                                        .arg(parsed.words.first()));
    const QList<MirrorSource> &mirrors = m_store.mirrors();
    if (parsed.has(QLatin1String("--json"))) {
        JsonWriter json;
        json.beginObject().key("mirrors").beginArray();
        for (const MirrorSource &mirror : mirrors) {
            const QString address = StateStore::effectiveAddress(mirror);
            const bool fromEnvironment = address != mirror.value;
            json.beginObject()
                .field("name", mirror.name)
                .optionalField("env", mirror.env)
                .field("source", fromEnvironment ? QStringLiteral("env") : mirror.source);
            if (mirror.requiresAuth)
                json.booleanField("requires_auth", *mirror.requiresAuth);
            json.optionalField("user", mirror.user).optionalField("value", maskPassword(address)).endObject();
        }
        json.endArray().endObject();
        printJson(json);
        return 0;
    }
    QString text;
    for (const MirrorSource &mirror : mirrors) {
        const QString address = StateStore::effectiveAddress(mirror);
        QStringList notes;
        notes.append(address != mirror.value ? QStringLiteral("from $%1").arg(mirror.env)
                                             : QStringLiteral("from %1").arg(mirror.source));
        if (mirror.requiresAuth.value_or(false))
            notes.append(mirror.user.isEmpty() ? QStringLiteral("requires auth")
                                               : QStringLiteral("requires auth as %1").arg(mirror.user));
        text += QStringLiteral("%1: %2 (%3)\n")
                    .arg(mirror.name, address.isEmpty() ? QStringLiteral("(not set)") : maskPassword(address),
                         notes.join(QLatin1String(", ")));
    }
    printOut(text);
    return 0;
}

int QueryCommands::basedir(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--raw")});
    if (const auto status = refuse(QStringLiteral("basedir"), parsed, 0, 0))
        return *status;
    const QString dir = m_store.config().baseDir;
    printOut(parsed.has(QLatin1String("--raw")) ? dir + QLatin1Char('\n') : QStringLiteral("base_dir: %1\n").arg(dir));
    return 0;
}

int QueryCommands::index(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--json")});
    if (const auto status = refuse(QStringLiteral("index"), parsed, 1, 1))
        return *status;
    const QString action = parsed.words.first();
    if (action == QLatin1String("status"))
        return indexStatus(parsed.has(QLatin1String("--json")));
    if (action == QLatin1String("refresh"))
        return indexRefresh();
    return usageError(QStringLiteral("index"), QStringLiteral("unknown action '%1' (status or refresh)").arg(action));
}

int QueryCommands::indexStatus(bool json)
{
    const IndexInfo &index = m_store.index();
    const SimConfig &config = m_store.config();
    const qint64 packages = m_store.catalog().size();
    std::optional<qint64> age;
    if (index.refreshedAt)
        age = qMax<qint64>(0, QDateTime::currentSecsSinceEpoch() - *index.refreshedAt);
    if (json) {
        JsonWriter document;
        document.beginObject()
            .field("path", indexPath(config))
            .booleanField("exists", age.has_value())
            .integerField("max_age_seconds", index.maxAgeSeconds);
        if (age) {
            document.integerField("age_seconds", *age)
                .booleanField("fresh", *age < index.maxAgeSeconds)
                .integerField("schema", index.schema)
                .optionalField("generated_at", index.generatedAt)
                .optionalField("index_commit", index.indexCommit)
                .integerField("packages", packages);
        }
        document.endObject();
        printJson(document);
        return 0;
    }
    if (!age) {
        printOut(QStringLiteral("index: none at %1 (run `zelk index refresh`)\n").arg(indexPath(config)));
        return 0;
    }
    printOut(QStringLiteral("index: %1\n%2 packages, %3 old (%4)\n")
                 .arg(indexPath(config))
                 .arg(packages)
                 .arg(durationText(*age), *age < index.maxAgeSeconds ? QStringLiteral("up to date") : QStringLiteral("stale")));
    return 0;
}

int QueryCommands::indexRefresh()
{
    OperationLock lock(m_store.lockFilePath());
    if (!lock.tryAcquire()) {
        printErr(QStringLiteral("zelk index refresh: another zelk (pid %1) is changing this install; "
                                "try again when it has finished\n")
                     .arg(lock.holderPid()));
        return 1;
    }
    printOut(QStringLiteral("Fetching the index ...\n"));
    if (!Pace::wait(4)) {
        printErr(QStringLiteral("zelk index refresh: interrupted; the index was not changed\n"));
        return Pace::interruptedExitStatus();
    }
    IndexInfo index = m_store.index();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    index.refreshedAt = now;
    index.generatedAt = nowText();
    index.indexCommit = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::number(now), QCryptographicHash::Sha1).toHex().left(12));
    m_store.saveIndex(index);
    printOut(QStringLiteral("Index refreshed: %1 packages (commit %2)\n").arg(m_store.catalog().size()).arg(index.indexCommit));
    return 0;
}

QList<Finding> QueryCommands::findings()
{
    QList<Finding> result = m_store.fixedFindings();
    const IndexInfo &index = m_store.index();
    if (!index.refreshedAt) {
        result.append({QStringLiteral("error"), QStringLiteral("index"),
                       QStringLiteral("there is no local index; run `zelk index refresh`")});
    } else {
        const qint64 age = QDateTime::currentSecsSinceEpoch() - *index.refreshedAt;
        if (age >= index.maxAgeSeconds)
            result.append({QStringLiteral("warning"), QStringLiteral("index"),
                           QStringLiteral("the local index is %1 old (stale after %2); run `zelk index refresh`")
                               .arg(durationText(age), durationText(index.maxAgeSeconds))});
    }

    const QList<InstalledEntry> entries = sortedByName(m_store.installed());
    QSet<QString> installedNames;
    for (const InstalledEntry &entry : entries)
        installedNames.insert(entry.name);
    for (const InstalledEntry &entry : entries) {
        if (entry.linked && entry.linkedVersion != entry.version)
            result.append({QStringLiteral("warning"), QStringLiteral("links"),
                           QStringLiteral("%1 links %2 but %3 is current; run `zelk reinstall %1`")
                               .arg(entry.name, entry.linkedVersion.isEmpty() ? QStringLiteral("nothing") : entry.linkedVersion,
                                    entry.version)});
        for (const QString &dependency : entry.deps) {
            const QString name = dependency.section(QLatin1Char('@'), 0, 0, QString::SectionSkipEmpty);
            if (!name.isEmpty() && !installedNames.contains(name))
                result.append({QStringLiteral("error"), QStringLiteral("deps"),
                               QStringLiteral("%1 needs %2, which is not installed").arg(entry.name, name)});
        }
    }
    return result;
}

int QueryCommands::doctor(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--raw")});
    if (const auto status = refuse(QStringLiteral("doctor"), parsed, 0, 0))
        return *status;
    const QList<Finding> all = findings();
    QString text;
    if (parsed.has(QLatin1String("--raw"))) {
        for (const Finding &finding : all)
            text += finding.severity + QLatin1Char('\t') + finding.check + QLatin1Char('\t') + finding.detail + QLatin1Char('\n');
    } else if (all.isEmpty()) {
        text = QStringLiteral("No problems found.\n");
    } else {
        for (const Finding &finding : all)
            text += QStringLiteral("%1: [%2] %3\n").arg(finding.severity, finding.check, finding.detail);
    }
    printOut(text);
    // The exit status is the number of findings; it cannot go beyond 255.
    return int(qMin<qsizetype>(all.size(), 255));
}

int QueryCommands::linkquery(const QStringList &arguments)
{
    const Arguments parsed = parse(arguments, {QLatin1String("--raw"), QLatin1String("--all")});
    const bool all = parsed.has(QLatin1String("--all"));
    if (const auto status = refuse(QStringLiteral("linkquery"), parsed, all ? 0 : 1, all ? 0 : 1))
        return *status;
    QString text;
    bool found = false;
    for (const InstalledEntry &entry : sortedByName(m_store.installed())) {
        if (!all && entry.name != parsed.words.first())
            continue;
        found = true;
        if (!entry.linked || entry.linkedVersion.isEmpty())
            continue;
        text += parsed.has(QLatin1String("--raw")) ? entry.name + QLatin1Char('@') + entry.linkedVersion + QLatin1Char('\n')
                                                   : QStringLiteral("%1 -> %2\n").arg(entry.name, entry.linkedVersion);
    }
    printOut(text);
    if (!all && !found) {
        printErr(QStringLiteral("zelk linkquery: %1 is not installed\n").arg(parsed.words.first()));
        return 1;
    }
    return 0;
}

} // namespace ZelkSim
