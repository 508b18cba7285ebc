#include "StateStore.h"

#include "JsonWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <simdjson.h>

#include <pwd.h>
#include <unistd.h>

#ifndef ZELK_SIM_DEFAULT_DEMO_DIR
#define ZELK_SIM_DEFAULT_DEMO_DIR ""
#endif

namespace ZelkSim {

namespace {

const QLatin1String configFile("config.json");
const QLatin1String catalogFile("catalog.json");
const QLatin1String installedFile("installed.json");
const QLatin1String mirrorsFile("mirrors.json");
const QLatin1String indexFile("index.json");
const QLatin1String doctorFile("doctor.json");
const QLatin1String downloadsFile("downloads.json");
const QLatin1String seedLockFile(".seed.lock");

// Written last when seeding: its presence marks a complete state directory.
const QLatin1String readyMarker = configFile;

QString environment(const char *name)
{
    return qEnvironmentVariable(name);
}

QString defaultStateDirectory()
{
    QString base = environment("XDG_STATE_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QLatin1String("/.local/state");
    return base + QLatin1String("/zelk-sim");
}

StateError::Kind kindOf(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::PermissionsError:
    case QFileDevice::OpenError:
        return StateError::Kind::permission;
    default:
        return StateError::Kind::disk;
    }
}

// Parses one state file; false when it does not exist and is not required.
bool parseFile(const QString &path, bool required, simdjson::dom::parser &parser, simdjson::dom::object &root)
{
    if (!QFileInfo::exists(path)) {
        if (!required)
            return false;
        throw StateError(StateError::Kind::damaged, QStringLiteral("state file %1 is missing").arg(path));
    }
    simdjson::padded_string bytes;
    if (const auto error = simdjson::padded_string::load(path.toStdString()).get(bytes))
        throw StateError(StateError::Kind::damaged,
                         QStringLiteral("cannot read %1: %2").arg(path, QString::fromUtf8(simdjson::error_message(error))));
    simdjson::dom::element element;
    if (const auto error = parser.parse(bytes).get(element))
        throw StateError(StateError::Kind::damaged, QStringLiteral("state file %1 is damaged: %2")
                                                        .arg(path, QString::fromUtf8(simdjson::error_message(error))));
    if (element.get_object().get(root) != simdjson::SUCCESS)
        throw StateError(StateError::Kind::damaged, QStringLiteral("state file %1 is damaged: not an object").arg(path));
    return true;
}

} // namespace

StateStore::StateStore(QString directory)
    : m_directory(std::move(directory))
{
}

StateStore StateStore::open()
{
    QString directory = environment("ZELK_SIM_STATE");
    if (directory.isEmpty())
        directory = defaultStateDirectory();
    directory = QDir(directory).absolutePath();

    if (!QFileInfo::exists(directory + QLatin1Char('/') + readyMarker)) {
        QString demo = environment("ZELK_SIM_DEMO");
        if (demo.isEmpty())
            demo = QStringLiteral(ZELK_SIM_DEFAULT_DEMO_DIR);
        seed(demo, directory);
    }
    return StateStore(directory);
}

void StateStore::seed(const QString &demoDirectory, const QString &directory)
{
    if (!QDir().mkpath(directory))
        throw StateError(StateError::Kind::permission,
                         QStringLiteral("cannot create the state directory %1").arg(directory));

    QLockFile lock(directory + QLatin1Char('/') + seedLockFile);
    lock.setStaleLockTime(0);
    if (!lock.lock())
        throw StateError(StateError::Kind::permission,
                         QStringLiteral("cannot lock the state directory %1").arg(directory));

    // Another process may have seeded it while this one waited for the lock.
    if (QFileInfo::exists(directory + QLatin1Char('/') + readyMarker))
        return;

    const QStringList present = QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : present) {
        if (!name.startsWith(seedLockFile))
            throw StateError(StateError::Kind::damaged,
                             QStringLiteral("%1 is not a zelk-sim state directory (it has files but no %2); "
                                            "point ZELK_SIM_STATE at an empty or missing directory")
                                 .arg(directory, readyMarker));
    }

    const QDir demo(demoDirectory);
    if (demoDirectory.isEmpty() || !QFileInfo::exists(demo.filePath(readyMarker)))
        throw StateError(StateError::Kind::damaged,
                         QStringLiteral("no demo tree at \"%1\" (set ZELK_SIM_DEMO)").arg(demoDirectory));

    // The demo tree's relative values become absolute ones for this state:
    // the index age becomes a refresh time, "$USER" the login name.
    StateStore source(demo.absolutePath());
    StateStore target(directory);
    target.saveCatalog(source.catalog());
    QList<InstalledEntry> installed = source.installed();
    for (InstalledEntry &entry : installed) {
        if (entry.installedByUser == QLatin1String("$USER"))
            entry.installedByUser = currentUser();
    }
    target.saveInstalled(installed);
    target.saveMirrors(source.mirrors());
    IndexInfo index = source.index();
    if (index.refreshedAgoSeconds) {
        index.refreshedAt = QDateTime::currentSecsSinceEpoch() - *index.refreshedAgoSeconds;
        index.refreshedAgoSeconds.reset();
    }
    target.saveIndex(index);
    target.saveFixedFindings(source.fixedFindings());
    target.savePartialDownloads(source.partialDownloads());
    target.saveConfig(source.config());
}

QString StateStore::lockFilePath() const
{
    return m_directory + QLatin1String("/lock");
}

QString StateStore::filePath(const QString &fileName) const
{
    return m_directory + QLatin1Char('/') + fileName;
}

template<typename T>
QList<T> StateStore::readList(const QString &fileName, std::string_view key, bool required) const
{
    QList<T> result;
    simdjson::dom::parser parser;
    simdjson::dom::object root;
    if (!parseFile(filePath(fileName), required, parser, root))
        return result;
    simdjson::dom::array array;
    if (root.at_key(key).get_array().get(array) != simdjson::SUCCESS)
        return result;
    result.reserve(qsizetype(array.size()));
    for (simdjson::dom::element item : array) {
        simdjson::dom::object object;
        if (item.get_object().get(object) == simdjson::SUCCESS)
            result.append(T::fromJson(object));
    }
    return result;
}

template<typename T>
T StateStore::readRecord(const QString &fileName, bool required) const
{
    simdjson::dom::parser parser;
    simdjson::dom::object root;
    if (!parseFile(filePath(fileName), required, parser, root)) {
        // Records read their defaults from an empty object.
        simdjson::dom::element empty;
        if (parser.parse("{}", 2).get(empty) != simdjson::SUCCESS || empty.get_object().get(root) != simdjson::SUCCESS)
            throw StateError(StateError::Kind::damaged, QStringLiteral("cannot set up the JSON parser"));
    }
    return T::fromJson(root);
}

template<typename T>
void StateStore::writeList(const QString &fileName, std::string_view key, const QList<T> &list) const
{
    JsonWriter json;
    json.beginObject().key(key).beginArray();
    for (const T &item : list) {
        json.lineBreak();
        item.write(json);
    }
    json.lineBreak().endArray().endObject();
    writeBytes(fileName, json.bytes() + '\n');
}

void StateStore::writeBytes(const QString &fileName, const QByteArray &bytes) const
{
    const QString path = filePath(fileName);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw StateError(kindOf(file.error()), QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    file.write(bytes);
    if (!file.commit())
        throw StateError(kindOf(file.error()), QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

const SimConfig &StateStore::config()
{
    if (!m_config)
        m_config = readRecord<SimConfig>(configFile, true);
    return *m_config;
}

const QList<CatalogEntry> &StateStore::catalog()
{
    if (!m_catalog) {
        m_catalog = readList<CatalogEntry>(catalogFile, "packages", true);
        m_catalogByName.clear();
        m_catalogByName.reserve(m_catalog->size());
        for (qsizetype i = 0; i < m_catalog->size(); ++i)
            m_catalogByName.insert(m_catalog->at(i).name, i);
    }
    return *m_catalog;
}

const CatalogEntry *StateStore::catalogEntry(const QString &name)
{
    const QList<CatalogEntry> &entries = catalog();
    const auto found = m_catalogByName.constFind(name);
    return found == m_catalogByName.cend() ? nullptr : &entries.at(*found);
}

const QList<InstalledEntry> &StateStore::installed()
{
    if (!m_installed)
        m_installed = readList<InstalledEntry>(installedFile, "packages", false);
    return *m_installed;
}

const InstalledEntry *StateStore::installedEntry(const QString &name)
{
    for (const InstalledEntry &entry : installed()) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

const QList<MirrorSource> &StateStore::mirrors()
{
    if (!m_mirrors)
        m_mirrors = readList<MirrorSource>(mirrorsFile, "mirrors", false);
    return *m_mirrors;
}

const IndexInfo &StateStore::index()
{
    if (!m_index)
        m_index = readRecord<IndexInfo>(indexFile, false);
    return *m_index;
}

const QList<Finding> &StateStore::fixedFindings()
{
    if (!m_findings)
        m_findings = readList<Finding>(doctorFile, "findings", false);
    return *m_findings;
}

const QHash<QString, qint64> &StateStore::partialDownloads()
{
    if (!m_downloads) {
        QHash<QString, qint64> downloads;
        simdjson::dom::parser parser;
        simdjson::dom::object root;
        simdjson::dom::object partial;
        if (parseFile(filePath(downloadsFile), false, parser, root)
            && root.at_key("partial").get_object().get(partial) == simdjson::SUCCESS) {
            for (const auto field : partial) {
                int64_t bytes = 0;
                if (field.value.get_int64().get(bytes) == simdjson::SUCCESS)
                    downloads.insert(QString::fromUtf8(field.key.data(), qsizetype(field.key.size())), bytes);
            }
        }
        m_downloads = downloads;
    }
    return *m_downloads;
}

QString StateStore::upgradeFor(const InstalledEntry &entry)
{
    const CatalogEntry *indexed = catalogEntry(entry.name);
    if (!indexed || indexed->latest().isEmpty())
        return {};
    return compareVersions(indexed->latest(), entry.version) > 0 ? indexed->latest() : QString();
}

std::optional<MirrorSource> StateStore::packageMirror()
{
    const QList<MirrorSource> &all = mirrors();
    for (const MirrorSource &mirror : all) {
        if (mirror.name != QLatin1String("index"))
            return mirror;
    }
    if (!all.isEmpty())
        return all.first();
    return std::nullopt;
}

QString StateStore::effectiveAddress(const MirrorSource &mirror)
{
    if (!mirror.env.isEmpty()) {
        const QString fromEnvironment = qEnvironmentVariable(mirror.env.toLocal8Bit().constData());
        if (!fromEnvironment.isEmpty())
            return fromEnvironment;
    }
    return mirror.value;
}

void StateStore::saveConfig(const SimConfig &config)
{
    JsonWriter json;
    config.write(json);
    writeBytes(configFile, json.bytes() + '\n');
    m_config = config;
}

void StateStore::saveCatalog(const QList<CatalogEntry> &catalog)
{
    writeList(catalogFile, "packages", catalog);
    m_catalog = catalog;
    m_catalogByName.clear();
    m_catalogByName.reserve(catalog.size());
    for (qsizetype i = 0; i < catalog.size(); ++i)
        m_catalogByName.insert(catalog.at(i).name, i);
}

void StateStore::saveInstalled(const QList<InstalledEntry> &installed)
{
    writeList(installedFile, "packages", installed);
    m_installed = installed;
}

void StateStore::saveMirrors(const QList<MirrorSource> &mirrors)
{
    writeList(mirrorsFile, "mirrors", mirrors);
    m_mirrors = mirrors;
}

void StateStore::saveIndex(const IndexInfo &index)
{
    JsonWriter json;
    index.write(json);
    writeBytes(indexFile, json.bytes() + '\n');
    m_index = index;
}

void StateStore::saveFixedFindings(const QList<Finding> &findings)
{
    writeList(doctorFile, "findings", findings);
    m_findings = findings;
}

void StateStore::savePartialDownloads(const QHash<QString, qint64> &downloads)
{
    QStringList keys = downloads.keys();
    keys.sort();
    JsonWriter json;
    json.beginObject().key("partial").beginObject();
    for (const QString &key : std::as_const(keys))
        json.key(key.toStdString()).integer(downloads.value(key));
    json.endObject().endObject();
    writeBytes(downloadsFile, json.bytes() + '\n');
    m_downloads = downloads;
}

void StateStore::reload()
{
    m_config.reset();
    m_catalog.reset();
    m_catalogByName.clear();
    m_installed.reset();
    m_mirrors.reset();
    m_index.reset();
    m_findings.reset();
    m_downloads.reset();
}

QString StateStore::currentUser()
{
    if (const passwd *entry = getpwuid(geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER", QStringLiteral("unknown"));
}

} // namespace ZelkSim
