#pragma once

#include "ZelkCLI.h"

#include <QDateTime>
#include <QHash>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace ZelkKit {

// The one gateway from ReveZE's state to zelk. Forwards every query, caches
// the two answers that are expensive and stable — the package names of the
// index (for `ttl` seconds) and the per-package information documents (until
// invalidated) — and drops both after an index refresh and after every
// install, upgrade or reinstall stream, however that stream ends.
//
// Lives on the GUI thread; the caches are touched only between awaits, so
// the store needs no lock. Operations are virtual so that tests and other
// clients can stand in for zelk.
class CatalogStore : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    CatalogStore(ZelkCLI cli, double ttlSeconds, QObject *parent = nullptr);
    ~CatalogStore() override;

    const ZelkCLI &cli() const { return m_cli; }
    double ttl() const { return m_ttl; }
    // For tests: the wall clock the catalog cache measures its age with.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    virtual QCoro::Task<Result<QList<InstalledPackage>>> installed();
    virtual QCoro::Task<Result<CLIInfo>> versionInfo();
    // The catalog document is never cached; the flag changes nothing.
    virtual QCoro::Task<Result<CatalogDocument>> catalogDocument(bool force);
    virtual QCoro::Task<Result<QList<OutdatedItem>>> outdated();
    virtual QCoro::Task<Result<MirrorConfig>> mirrorConfig();
    virtual QCoro::Task<Result<IndexStatus>> indexStatus();
    // The run of `zelk index refresh`, whatever its exit status; the caches
    // are emptied either way. Fails only when zelk could not be started.
    virtual QCoro::Task<Result<ZelkCommandResult>> refreshIndex();
    virtual QCoro::Task<Result<InstallStatus>> status();
    // The findings with the run's exit status, crash flag and message.
    virtual QCoro::Task<Result<DoctorRun>> doctor();
    virtual QCoro::Task<Result<QString>> configuration();
    virtual QCoro::Task<Result<QStringList>> catalog(bool force);
    virtual QCoro::Task<Result<PackageInfo>> info(const QString &name, bool force);
    virtual QCoro::Task<Result<QHash<QString, QString>>> linkedVersions();
    // Appends "--json-progress" and starts zelk at once. The caches are
    // emptied when the stream ends in any way.
    virtual std::unique_ptr<ZelkEventStream> operation(const QStringList &arguments);
    virtual void invalidate();

    // Cache inspection for tests.
    bool hasCatalogCache() const { return m_catalogFetchedAt.has_value(); }
    int cachedInfoCount() const { return int(m_cachedInfo.size()); }

private:
    ZelkCLI m_cli;
    double m_ttl;
    Clock m_clock;
    QStringList m_cachedCatalog;
    std::optional<QDateTime> m_catalogFetchedAt;
    QHash<QString, PackageInfo> m_cachedInfo;
};

} // namespace ZelkKit
