#include "CatalogStore.h"

#include <QPointer>

namespace ZelkKit {

CatalogStore::CatalogStore(ZelkCLI cli, double ttlSeconds, QObject *parent)
    : QObject(parent), m_cli(std::move(cli)), m_ttl(ttlSeconds), m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
}

CatalogStore::~CatalogStore() = default;

QCoro::Task<Result<QList<InstalledPackage>>> CatalogStore::installed()
{
    return m_cli.installed();
}

QCoro::Task<Result<CLIInfo>> CatalogStore::versionInfo()
{
    return m_cli.versionInfo();
}

QCoro::Task<Result<CatalogDocument>> CatalogStore::catalogDocument(bool)
{
    return m_cli.catalogDocument();
}

QCoro::Task<Result<QList<OutdatedItem>>> CatalogStore::outdated()
{
    return m_cli.outdated();
}

QCoro::Task<Result<MirrorConfig>> CatalogStore::mirrorConfig()
{
    return m_cli.mirrorConfig();
}

QCoro::Task<Result<IndexStatus>> CatalogStore::indexStatus()
{
    return m_cli.indexStatus();
}

QCoro::Task<Result<ZelkCommandResult>> CatalogStore::refreshIndex()
{
    QPointer<CatalogStore> self(this);
    const ZelkCLI cli = m_cli;
    Result<ZelkCommandResult> run = co_await cli.refreshIndex();
    // Whatever zelk said, the index may have changed.
    if (run && self)
        self->invalidate();
    co_return run;
}

QCoro::Task<Result<InstallStatus>> CatalogStore::status()
{
    return m_cli.status();
}

QCoro::Task<Result<DoctorRun>> CatalogStore::doctor()
{
    return m_cli.doctorRun();
}

QCoro::Task<Result<QString>> CatalogStore::configuration()
{
    return m_cli.configuration();
}

QCoro::Task<Result<QStringList>> CatalogStore::catalog(bool force)
{
    if (!force && m_catalogFetchedAt) {
        // A negative age (the clock went back) counts as fresh.
        const double age = double(m_catalogFetchedAt->msecsTo(m_clock())) / 1000.0;
        if (age < m_ttl)
            co_return m_cachedCatalog;
    }
    QPointer<CatalogStore> self(this);
    const ZelkCLI cli = m_cli;
    Result<QStringList> names = co_await cli.catalog();
    if (!names || !self)
        co_return names;
    self->m_cachedCatalog = names.value();
    self->m_catalogFetchedAt = self->m_clock();
    co_return names;
}

QCoro::Task<Result<PackageInfo>> CatalogStore::info(const QString &name, bool force)
{
    const QString key = name;
    if (!force) {
        const auto it = m_cachedInfo.constFind(key);
        if (it != m_cachedInfo.constEnd())
            co_return it.value();
    }
    QPointer<CatalogStore> self(this);
    const ZelkCLI cli = m_cli;
    Result<PackageInfo> info = co_await cli.info(key);
    if (info && self)
        self->m_cachedInfo.insert(key, info.value());
    co_return info;
}

QCoro::Task<Result<QHash<QString, QString>>> CatalogStore::linkedVersions()
{
    return m_cli.linkedVersions();
}

std::unique_ptr<ZelkEventStream> CatalogStore::operation(const QStringList &arguments)
{
    QStringList vector = arguments;
    vector.append(QStringLiteral("--json-progress"));
    std::unique_ptr<ZelkEventStream> stream = m_cli.stream(vector);
    QPointer<CatalogStore> self(this);
    stream->setEndHandler([self] {
        if (self)
            self->invalidate();
    });
    return stream;
}

void CatalogStore::invalidate()
{
    m_cachedCatalog.clear();
    m_catalogFetchedAt.reset();
    m_cachedInfo.clear();
}

} // namespace ZelkKit
