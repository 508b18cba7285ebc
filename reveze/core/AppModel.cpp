#include "AppModel.h"

#include <ZelkLocator.h>

#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

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

// Freeing a 100,000-package catalog takes tens of milliseconds; the value a
// refresh replaces is let go on the worker pool instead of the GUI thread.
template<typename T>
void releaseOffThread(T &&old)
{
    (void)QtConcurrent::run([old = std::move(old)]() mutable { T gone = std::move(old); });
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
        const Result<InstallStatus> status = co_await std::move(statusTask);
        if (!status)
            failure = status.error();
        else if (self)
            self->setStatus(status.value());
    }
    if (failure) {
        co_await drain(std::move(installedTask));
    } else {
        const Result<QList<InstalledPackage>> installed = co_await std::move(installedTask);
        if (!installed)
            failure = installed.error();
        else if (self)
            self->setInstalled(installed.value());
    }
    if (failure) {
        co_await drain(std::move(catalogTask));
    } else {
        const Result<CatalogDocument> catalog = co_await std::move(catalogTask);
        if (!catalog) {
            failure = catalog.error();
        } else if (self) {
            self->setCatalogPackages(catalog->packages);
            QStringList names;
            names.reserve(catalog->packages.size());
            for (const CatalogPackage &package : catalog->packages)
                names.append(package.name);
            self->setCatalog(std::move(names));
        }
    }
    if (failure) {
        co_await drain(std::move(outdatedTask));
    } else {
        const Result<QList<OutdatedItem>> outdated = co_await std::move(outdatedTask);
        if (!outdated)
            failure = outdated.error();
        else if (self)
            self->setOutdated(outdated.value());
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

QCoro::Task<> AppModel::refreshMirrorAndIndex()
{
    if (!m_store)
        co_return;
    QPointer<AppModel> self(this);
    auto mirrorTask = m_store->mirrorConfig();
    auto indexTask = m_store->indexStatus();
    const Result<MirrorConfig> mirror = co_await std::move(mirrorTask);
    if (!mirror) {
        co_await drain(std::move(indexTask));
        if (self)
            self->setErrorMessage(mirror.error().errorDescription());
        co_return;
    }
    if (self)
        self->setMirror(mirror.value());
    const Result<IndexStatus> index = co_await std::move(indexTask);
    if (!self)
        co_return;
    if (index)
        self->setIndexStatus(index.value());
    else
        self->setErrorMessage(index.error().errorDescription());
}

QCoro::Task<> AppModel::refreshIndex()
{
    if (!m_store)
        co_return;
    QPointer<AppModel> self(this);
    CatalogStore *store = m_store;
    const Result<ZelkCommandResult> refreshed = co_await store->refreshIndex();
    if (!self)
        co_return;
    if (!refreshed) {
        self->setErrorMessage(refreshed.error().errorDescription());
        co_return;
    }
    const Result<IndexStatus> index = co_await store->indexStatus();
    if (!self)
        co_return;
    if (index)
        self->setIndexStatus(index.value());
    else
        self->setErrorMessage(index.error().errorDescription());
}

QCoro::Task<> AppModel::refreshDoctor()
{
    if (!m_store)
        co_return;
    QPointer<AppModel> self(this);
    const Result<DoctorRun> findings = co_await m_store->doctor();
    if (!self)
        co_return;
    if (findings)
        self->setDoctorFindings(findings->findings);
    else
        self->setErrorMessage(findings.error().errorDescription());
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

#define REVEZE_EQUAL_LARGE_SETTER(Name, member, Type, signal) \
    void AppModel::Name(Type value)                           \
    {                                                         \
        if (member == value)                                  \
            return;                                           \
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
REVEZE_EQUAL_SETTER(setIsLoading, m_isLoading, bool, isLoadingChanged)
REVEZE_EQUAL_SETTER(setLastRefresh, m_lastRefresh, std::optional<QDateTime>, lastRefreshChanged)

#undef REVEZE_EQUAL_SETTER
#undef REVEZE_EQUAL_LARGE_SETTER
#undef REVEZE_ALWAYS_SETTER

} // namespace ReveZE
