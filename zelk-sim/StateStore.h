#pragma once

// The state directory of zelk-sim: where it is, how a fresh one is seeded
// from the demo tree, and reading and writing its JSON files (SimRecords.h).
//
// Every file is read on first use only, so a query touches just the files it
// needs, and every write goes to a temporary file that is renamed into place:
// a query running beside an operation sees either the old or the new file,
// never half of one. Failures are thrown as StateError and reported by the
// caller (a text on stderr, or an error event during an operation).

#include "SimRecords.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <string_view>

namespace ZelkSim {

class StateError
{
public:
    enum class Kind { damaged, permission, disk };
    StateError(Kind kind, QString message) : m_kind(kind), m_message(std::move(message)) {}
    Kind kind() const { return m_kind; }
    const QString &message() const { return m_message; }

private:
    Kind m_kind;
    QString m_message;
};

class StateStore
{
public:
    // The directory named by ZELK_SIM_STATE (default: $XDG_STATE_HOME/zelk-sim
    // or ~/.local/state/zelk-sim). When it is missing or empty it is seeded
    // first from ZELK_SIM_DEMO (default: the demo tree in the source
    // directory). Seeding runs under its own lock, so several zelk-sim
    // processes started at once on a fresh directory all see it complete.
    static StateStore open();
    // A store over a directory that is used as it is, without seeding.
    explicit StateStore(QString directory);

    const QString &directory() const { return m_directory; }
    QString lockFilePath() const;

    const SimConfig &config();
    const QList<CatalogEntry> &catalog();
    const CatalogEntry *catalogEntry(const QString &name);
    const QList<InstalledEntry> &installed();
    const InstalledEntry *installedEntry(const QString &name);
    const QList<MirrorSource> &mirrors();
    const IndexInfo &index();
    const QList<Finding> &fixedFindings();
    // Bytes already downloaded, keyed by "name@version".
    const QHash<QString, qint64> &partialDownloads();

    // The newest version the index offers for an installed package, when it
    // is newer than the installed one; empty otherwise.
    QString upgradeFor(const InstalledEntry &entry);

    // The data source packages are downloaded from: the first one that is
    // not the index, else the first one.
    std::optional<MirrorSource> packageMirror();
    // The address of a data source as zelk uses it: its environment variable
    // when set, else the stored value.
    static QString effectiveAddress(const MirrorSource &mirror);

    void saveConfig(const SimConfig &config);
    void saveCatalog(const QList<CatalogEntry> &catalog);
    void saveInstalled(const QList<InstalledEntry> &installed);
    void saveMirrors(const QList<MirrorSource> &mirrors);
    void saveIndex(const IndexInfo &index);
    void saveFixedFindings(const QList<Finding> &findings);
    void savePartialDownloads(const QHash<QString, qint64> &downloads);

    // Forgets what was read, so the next access reads the files again.
    void reload();

    // The login name of the user running zelk-sim.
    static QString currentUser();

    // Seeds directory from demoDirectory (exposed for the generator's checks).
    static void seed(const QString &demoDirectory, const QString &directory);

private:
    // Reads the records under key of a file holding {"key": [...]}; a file
    // that does not exist gives an empty list unless it is required.
    template<typename T>
    QList<T> readList(const QString &fileName, std::string_view key, bool required) const;
    // Reads a file holding one record.
    template<typename T>
    T readRecord(const QString &fileName, bool required) const;
    template<typename T>
    void writeList(const QString &fileName, std::string_view key, const QList<T> &list) const;
    void writeBytes(const QString &fileName, const QByteArray &bytes) const;
    QString filePath(const QString &fileName) const;

    QString m_directory;
    std::optional<SimConfig> m_config;
    std::optional<QList<CatalogEntry>> m_catalog;
    QHash<QString, qsizetype> m_catalogByName;
    std::optional<QList<InstalledEntry>> m_installed;
    std::optional<QList<MirrorSource>> m_mirrors;
    std::optional<IndexInfo> m_index;
    std::optional<QList<Finding>> m_findings;
    std::optional<QHash<QString, qint64>> m_downloads;
};

} // namespace ZelkSim
