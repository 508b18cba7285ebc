#include "AppModel.h"

#include "ReleaseOffThread.h"

#include <WorkerPool.h>
#include <ZelkLocator.h>

#include <QFuture>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

#include <qcoro/qcorofuture.h>

using namespace ZelkKit;

namespace ReveZE {

namespace {

// The store's cache time to live, in seconds.
constexpr double storeTtl = 600;

// Waits for a task whose result no longer matters (its child runs to its end).
template<typename T>
QCoro::Task<> drain(QCoro::Task<T> task)
{
    (void)co_await std::move(task);
}

// What a new catalog changes, worked out on the worker pool: comparing
// 100,000 records with the shown ones, and listing their names, each cost
// more than a frame. The lists are shallow copies; the GUI thread may
// replace its own meanwhile, which the caller checks.
struct CatalogChange {
    bool packagesDiffer = true;
    QStringList names;
    bool namesDiffer = true;
};

QCoro::Task<CatalogChange> compareCatalog(QList<CatalogPackage> shown, QList<CatalogPackage> incoming,
                                          QStringList shownNames)
{
    // The future keeps its own copy of a result until its last watcher goes,
    // on this thread; it holds the names through a pointer that is emptied
    // below, so the names are never freed here.
    QFuture<std::shared_ptr<CatalogChange>> comparing = ZelkKit::runInBackground(
        [shown = std::move(shown), incoming = std::move(incoming), shownNames = std::move(shownNames)] {
            auto change = std::make_shared<CatalogChange>();
            change->packagesDiffer = shown != incoming;
            // The shown names are always those of the shown records.
            change->namesDiffer = change->packagesDiffer;
            if (!change->packagesDiffer)
                return change;
            change->names.reserve(incoming.size());
            for (const CatalogPackage &package : incoming)
                change->names.append(package.name);
            change->namesDiffer = shownNames != change->names;
            return change;
        });
    const std::shared_ptr<CatalogChange> change = co_await comparing;
    co_return std::move(*change);
}

} // namespace

AppModel::AppModel(std::optional<ZelkCLI> cli, QObject *parent)
    : QObject(parent)
{
    if (!cli) {
        Result<ZelkCLI> located = ZelkLocator::locate();
        if (located)
            cli = located.value();
        else
            m_setupError = located.error().errorDescription();
    }
    if (cli)
        m_store = new CatalogStore(*cli, storeTtl, this);
}

AppModel::AppModel(CatalogStore *store, QObject *parent)
    : QObject(parent), m_store(store)
{
    if (m_store)
        m_store->setParent(this);
}

AppModel::~AppModel() = default;

QString AppModel::notFoundText()
{
    return ZelkCLIError::notFound().errorDescription();
}

void AppModel::setErrorMessage(std::optional<QString> message)
{
    if (m_errorMessage == message)
        return;
    m_errorMessage = std::move(message);
    Q_EMIT errorMessageChanged();
}

QCoro::Task<> AppModel::refresh(bool force)
{
    if (!m_store) {
        setErrorMessage(m_setupError);
        co_return;
    }
    QPointer<AppModel> self(this);
    CatalogStore *store = m_store;
    setIsLoading(true);
    setErrorMessage(std::nullopt);

    // All five start here, each its own zelk child; they are taken below in a
    // fixed order whatever order they finish in.
    auto versionTask = store->versionInfo();
    auto statusTask = store->status();
    auto installedTask = store->installed();
    auto catalogTask = store->catalogDocument(force);
    auto outdatedTask = store->outdated();

    // The first failure in taking order wins; the queries not yet taken are
    // then only waited for (their children run to their end).
    std::optional<ZelkCLIError> failure;
    {
        const Result<CLIInfo> version = co_await std::move(versionTask);
        if (!version) {
            failure = version.error();
        } else if (self) {
            self->setCliInfo(version.value());
            std::optional<CompatibilityIssue> issue;
            if (version->isTooNew())
                issue = CompatibilityIssue::tooNew(version->protocolNumber, CLIInfo::supportedProtocol);
            else if (const QStringList missing = version->missingRequiredCapabilities(); !missing.isEmpty())
                issue = CompatibilityIssue::missingCapabilities(version->version, missing);
            self->setCompatibilityIssue(issue);
        }
    }
    if (failure) {
        co_await drain(std::move(statusTask));
    } else {
        Result<InstallStatus> status = co_await std::move(statusTask);
        if (!status)
            failure = status.error();
        else if (self)
            self->setStatus(std::move(status).value());
    }
    if (failure) {
        co_await drain(std::move(installedTask));
    } else {
        Result<QList<InstalledPackage>> installed = co_await std::move(installedTask);
        if (!installed)
            failure = installed.error();
        else if (self)
            self->setInstalled(std::move(installed).value());
    }
    if (failure) {
        co_await drain(std::move(catalogTask));
    } else {
        Result<CatalogDocument> catalog = co_await std::move(catalogTask);
        if (!catalog) {
            failure = catalog.error();
        } else if (self) {
            QList<CatalogPackage> packages = std::move(catalog.value().packages);
            QList<CatalogPackage> shown = self->m_catalogPackages;
            QStringList shownNames = self->m_catalog;
            CatalogChange change = co_await compareCatalog(shown, packages, shownNames);
            if (self) {
                // Another refresh may have applied its catalog meanwhile; then
                // the comparison is with a list no longer shown.
                if (!shown.isSharedWith(self->m_catalogPackages) || !shownNames.isSharedWith(self->m_catalog)) {
                    // Records equal to those compared have their names.
                    self->setCatalogPackages(std::move(packages));
                    self->setCatalog(change.packagesDiffer ? std::move(change.names) : shownNames);
                } else {
                    if (change.packagesDiffer)
                        self->replaceCatalogPackages(std::move(packages));
                    else
                        releaseOffThread(std::move(packages));
                    if (change.namesDiffer)
                        self->replaceCatalog(std::move(change.names));
                    else
                        releaseOffThread(std::move(change.names));
                }
            }
            // These may now hold the last reference to what was shown.
            releaseOffThread(std::move(shown));
            releaseOffThread(std::move(shownNames));
        }
    }
    if (failure) {
        co_await drain(std::move(outdatedTask));
    } else {
        Result<QList<OutdatedItem>> outdated = co_await std::move(outdatedTask);
        if (!outdated)
            failure = outdated.error();
        else if (self)
            self->setOutdated(std::move(outdated).value());
    }
    if (!self)
        co_return;
    if (failure)
        self->setErrorMessage(failure->errorDescription());
    else
        self->setLastRefresh(QDateTime::currentDateTime());
    self->setIsLoading(false);
}

QCoro::Task<> AppModel::refreshOutdated()
{
    if (!m_store)
        co_return;
    QPointer<AppModel> self(this);
    const Result<QList<OutdatedItem>> outdated = co_await m_store->outdated();
    if (!self)
        co_return;
    if (outdated)
        self->setOutdated(outdated.value());
    else
        self->setErrorMessage(outdated.error().errorDescription());
}

QCoro::Task<bool> AppModel::refreshMirrorAndIndex()
{
    if (!m_store)
        co_return false;
    QPointer<AppModel> self(this);
    auto mirrorTask = m_store->mirrorConfig();
    auto indexTask = m_store->indexStatus();
    const Result<MirrorConfig> mirror = co_await std::move(mirrorTask);
    if (!mirror) {
        co_await drain(std::move(indexTask));
        if (self)
            self->setErrorMessage(mirror.error().errorDescription());
        co_return false;
    }
    if (self)
        self->setMirror(mirror.value());
    const Result<IndexStatus> index = co_await std::move(indexTask);
    if (!self)
        co_return false;
    if (!index) {
        self->setErrorMessage(index.error().errorDescription());
        co_return false;
    }
    self->setIndexStatus(index.value());
    co_return true;
}

QCoro::Task<bool> AppModel::refreshIndex()
{
    if (!m_store)
        co_return false;
    QPointer<AppModel> self(this);
    CatalogStore *store = m_store;
    const Result<ZelkCommandResult> refreshed = co_await store->refreshIndex();
    if (!self)
        co_return false;
    if (!refreshed) {
        self->setErrorMessage(refreshed.error().errorDescription());
        co_return false;
    }
    // zelk ran: whatever it said, the caches are gone and the index may have
    // changed, so its status is read again. A refresh that failed says why.
    const bool ranClean = !refreshed->crashed && refreshed->succeeded();
    if (!ranClean)
        self->setErrorMessage(
            ZelkCLIError::commandFailed(refreshed->exitCode, refreshed->message()).errorDescription());
    const Result<IndexStatus> index = co_await store->indexStatus();
    if (!self)
        co_return false;
    if (!index) {
        self->setErrorMessage(index.error().errorDescription());
        co_return false;
    }
    self->setIndexStatus(index.value());
    co_return ranClean;
}

QCoro::Task<bool> AppModel::refreshDoctor()
{
    if (!m_store)
        co_return false;
    QPointer<AppModel> self(this);
    const Result<DoctorRun> run = co_await m_store->doctor();
    if (!self)
        co_return false;
    if (!run) {
        self->setErrorMessage(run.error().errorDescription());
        co_return false;
    }
    // zelk exits with the number of findings. A run that died, or that gave a
    // status without a single finding, did not check the install tree; its
    // findings (if any) are not the tree's, and the earlier ones stay.
    if (run->crashed || (run->exitCode != 0 && run->findings.isEmpty())) {
        self->setErrorMessage(ZelkCLIError::commandFailed(run->exitCode, run->message).errorDescription());
        co_return false;
    }
    self->setDoctorFindings(run->findings);
    co_return true;
}

QCoro::Task<Result<PackageInfo>> AppModel::info(const QString &name, bool force)
{
    if (!m_store)
        return []() -> QCoro::Task<Result<PackageInfo>> { co_return ZelkCLIError::notFound(); }();
    return m_store->info(name, force);
}

// Lists, flags, texts, the time and the compatibility issue notify only on a
// real change; the records without equality notify on every assignment.
#define REVEZE_EQUAL_SETTER(Name, member, Type, signal) \
    void AppModel::Name(Type value)                     \
    {                                                   \
        if (member == value)                            \
            return;                                     \
        member = std::move(value);                      \
        Q_EMIT signal();                                \
    }
#define REVEZE_ALWAYS_SETTER(Name, member, Type, signal) \
    void AppModel::Name(Type value)                      \
    {                                                    \
        member = std::move(value);                       \
        Q_EMIT signal();                                 \
    }

// A large value is let go on the worker pool, the one replaced or, when
// equal, the one that came in.
#define REVEZE_EQUAL_LARGE_SETTER(Name, member, Type, signal) \
    void AppModel::Name(Type value)                           \
    {                                                         \
        if (member == value) {                                \
            releaseOffThread(std::move(value));               \
            return;                                           \
        }                                                     \
        Type old = std::exchange(member, std::move(value));   \
        Q_EMIT signal();                                      \
        releaseOffThread(std::move(old));                     \
    }

REVEZE_EQUAL_LARGE_SETTER(setInstalled, m_installed, QList<InstalledPackage>, installedChanged)
void AppModel::setStatus(std::optional<InstallStatus> value)
{
    std::optional<InstallStatus> old = std::exchange(m_status, std::move(value));
    Q_EMIT statusChanged();
    releaseOffThread(std::move(old));
}
REVEZE_EQUAL_LARGE_SETTER(setCatalogPackages, m_catalogPackages, QList<CatalogPackage>, catalogPackagesChanged)
REVEZE_EQUAL_SETTER(setOutdated, m_outdated, QList<OutdatedItem>, outdatedChanged)
REVEZE_ALWAYS_SETTER(setCliInfo, m_cliInfo, std::optional<CLIInfo>, cliInfoChanged)
REVEZE_EQUAL_SETTER(setCompatibilityIssue, m_compatibilityIssue, std::optional<CompatibilityIssue>,
                    compatibilityIssueChanged)
REVEZE_EQUAL_SETTER(setDoctorFindings, m_doctorFindings, QList<DoctorFinding>, doctorFindingsChanged)
REVEZE_ALWAYS_SETTER(setMirror, m_mirror, std::optional<MirrorConfig>, mirrorChanged)
REVEZE_ALWAYS_SETTER(setIndexStatus, m_indexStatus, std::optional<IndexStatus>, indexStatusChanged)
REVEZE_EQUAL_LARGE_SETTER(setCatalog, m_catalog, QStringList, catalogChanged)

// For a catalog already known to differ from the shown one.
void AppModel::replaceCatalogPackages(QList<CatalogPackage> value)
{
    QList<CatalogPackage> old = std::exchange(m_catalogPackages, std::move(value));
    Q_EMIT catalogPackagesChanged();
    releaseOffThread(std::move(old));
}

void AppModel::replaceCatalog(QStringList value)
{
    QStringList old = std::exchange(m_catalog, std::move(value));
    Q_EMIT catalogChanged();
    releaseOffThread(std::move(old));
}
REVEZE_EQUAL_SETTER(setIsLoading, m_isLoading, bool, isLoadingChanged)
REVEZE_EQUAL_SETTER(setLastRefresh, m_lastRefresh, std::optional<QDateTime>, lastRefreshChanged)

#undef REVEZE_EQUAL_SETTER
#undef REVEZE_EQUAL_LARGE_SETTER
#undef REVEZE_ALWAYS_SETTER

} // namespace ReveZE
