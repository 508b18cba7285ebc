#pragma once

// `zelk install|upgrade|reinstall`: checks the switches, takes the operation
// lock, works out what to do (the packages asked for and the dependencies
// they pull in), then goes through download, verify, install and link for
// each package at the pace of Pace, reporting every step through an
// EventWriter and writing the state after each package that completed.
//
// A run fails on purpose in the ways the state asks for (a catalog package's
// "fault", a min_os newer than the system) and in the ordinary ways (an
// unknown name, no --yes, the lock held by another zelk). Each failure
// unwinds to run() as an exception and becomes one error event with a
// message, hints and a code; the lock and the partial-download record are
// settled on every path. SIGTERM stops the run at the next tick: what was
// completed stays, the package under way is left out, and the exit status is
// 143 with a text on stderr and no error event.

#include "SimRecords.h"
#include "StateStore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace ZelkSim {

class EventWriter;

class OperationRunner
{
public:
    // operation is "install", "upgrade" or "reinstall".
    OperationRunner(StateStore &store, QString operation);

    // Runs with the arguments after the operation word; returns the exit status.
    int run(const QStringList &arguments);

private:
    struct Options {
        QStringList names;
        bool all = false;
        bool resume = false;
        bool removeOldVersions = false;
        bool yes = false;
        bool skipSsl = false;
        bool force = false;
        bool json = false;
        std::optional<qint64> maxTimeSeconds;
        std::optional<qint64> connectTimeoutSeconds;
        std::optional<qint64> contentTimeSeconds;
    };

    // One package the run works on.
    struct Action {
        enum class Kind { install, upgrade, reinstall, unchanged };
        Kind kind = Kind::install;
        QString name;
        QString version;      // the version the package ends up with
        QString fromVersion;  // the version before an upgrade
        bool requested = false;
        QString reason;       // why an unchanged package is left alone
        bool markRequested = false; // an installed dependency the user now asked for
    };

    // Fills m_options; an invalid command line throws a usage failure.
    void parseOptions(const QStringList &arguments);
    void resolve();
    void resolveInstall(const QString &name);
    void resolveUpgrade(const QString &name, bool fromAll);
    void resolveReinstall(const QString &name);
    void addMissingDependencies(const CatalogEntry &entry, QSet<QString> &visiting);
    void checkSystem(const CatalogEntry &entry, const QString &version);
    bool planned(const QString &name) const;
    void confirm();
    void perform(const Action &action);
    void download(const Action &action, const CatalogEntry &entry);
    void commit(const Action &action, const CatalogEntry *entry);
    void checkTimeLimit(const QString &name);
    void keepPartialDownload();
    void tick(int ticks = 1);
    QString commandLine() const;
    QString mirrorHost();
    QString notFoundHint(const QString &name);

    StateStore &m_store;
    QString m_operation;
    Options m_options;
    EventWriter *m_events = nullptr;
    QList<Action> m_actions;
    QString m_downloading;   // "name@version" while a download is under way
    qint64 m_downloaded = 0; // its bytes so far
    QElapsedTimer m_clock;
};

} // namespace ZelkSim
