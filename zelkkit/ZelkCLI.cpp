#include "ZelkCLI.h"

#include "Json.h"
#include "LinkedVersions.h"
#include "ProcessRegistry.h"
#include "Utf8.h"
#include "WorkerPool.h"

#include <QPointer>
#include <QProcess>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>
#include <qcoro/qcorosignal.h>

namespace ZelkKit {

namespace {

// The bytes of one finished run, before any text conversion.
struct RawRun {
    QByteArray out;
    QByteArray err;
    qint32 exitCode = 0;
    bool crashed = false;
};

// Starts zelk and suspends until the child has exited. The process belongs to
// the registry; this coroutine hands it back once it has read the output.
QCoro::Task<Result<RawRun>> runRaw(QString executable, QStringList arguments)
{
    QProcess *process = ProcessRegistry::instance().create(executable, arguments, ProcessRegistry::Role::Query);
    QPointer<QProcess> guard(process);
    // QCoro's own process awaiters hang on a failed start; a one-shot waiter
    // settles in every case.
    ProcessExitWaiter waiter(process);
    process->start();
    if (!waiter.hasExited())
        co_await qCoro(&waiter, &ProcessExitWaiter::exited);
    if (!guard)
        co_return ZelkCLIError::launchFailed(QStringLiteral("the process went away"));
    if (guard->error() == QProcess::FailedToStart) {
        const QString detail = guard->errorString();
        ProcessRegistry::instance().release(process);
        co_return ZelkCLIError::launchFailed(detail);
    }
    RawRun run;
    run.out = guard->readAllStandardOutput();
    run.err = guard->readAllStandardError();
    run.exitCode = qint32(guard->exitCode());
    run.crashed = guard->exitStatus() == QProcess::CrashExit;
    ProcessRegistry::instance().release(process);
    co_return run;
}

ZelkCommandResult toResult(const RawRun &run)
{
    return ZelkCommandResult{Utf8::text(run.out), Utf8::text(run.err), run.exitCode, run.crashed};
}

template<typename T>
struct DecodeOutcome {
    std::optional<T> value;
    QString error;
};

// The shared rule of every JSON query: a non-zero exit is commandFailed with
// the run's message (the document is not looked at); otherwise the whole
// output must decode strictly, on the worker pool.
template<typename T, typename Decode>
QCoro::Task<Result<T>> decodeRun(QString executable, QStringList arguments, Decode decode)
{
    Result<RawRun> run = co_await runRaw(executable, arguments);
    if (!run)
        co_return run.error();
    if (run->exitCode != 0)
        co_return ZelkCLIError::commandFailed(run->exitCode, toResult(*run).message());
    // The worker gets the only reference to the output, and the future holds
    // the decoded value through a pointer that is emptied below: a future
    // keeps its own copy of a result until its last watcher goes, which is on
    // this thread, and freeing a 100,000-package catalog there stalls the
    // window for tens of milliseconds. The future is a named variable: GCC 12
    // destroys the temporaries of a lambda written inside a co_await
    // expression twice.
    QFuture<std::shared_ptr<DecodeOutcome<T>>> decoding =
        runInBackground([bytes = std::move(run.value().out), decode]() mutable {
            auto result = std::make_shared<DecodeOutcome<T>>();
            result->value = Json::decodeDocument<T>(bytes, decode, &result->error);
            bytes = QByteArray();
            return result;
        });
    const std::shared_ptr<DecodeOutcome<T>> outcome = co_await decoding;
    if (!outcome->value)
        co_return ZelkCLIError::decodeFailed(outcome->error);
    co_return std::move(*outcome->value);
}

QCoro::Task<Result<ZelkCommandResult>> runText(QString executable, QStringList arguments)
{
    const Result<RawRun> run = co_await runRaw(executable, arguments);
    if (!run)
        co_return run.error();
    co_return toResult(*run);
}

QCoro::Task<Result<QString>> configurationOf(QString executable)
{
    const QStringList mirrorArguments{QStringLiteral("mirror")};
    const QStringList basedirArguments{QStringLiteral("basedir"), QStringLiteral("--raw")};
    // Both start before either is awaited.
    auto mirrorTask = runText(executable, mirrorArguments);
    auto basedirTask = runText(executable, basedirArguments);
    const Result<ZelkCommandResult> mirror = co_await std::move(mirrorTask);
    const Result<ZelkCommandResult> basedir = co_await std::move(basedirTask);
    if (!mirror)
        co_return mirror.error();
    if (!basedir)
        co_return basedir.error();
    co_return QStringLiteral("base_dir\n") + basedir->stdoutText.trimmed() + QStringLiteral("\n\nmirror\n")
        + mirror->stdoutText.trimmed();
}

QCoro::Task<Result<DoctorRun>> doctorRunOf(QString executable)
{
    const QStringList arguments{QStringLiteral("doctor"), QStringLiteral("--raw")};
    const Result<ZelkCommandResult> run = co_await runText(executable, arguments);
    if (!run)
        co_return run.error();
    co_return DoctorRun{DoctorFinding::parse(run->stdoutText), run->exitCode, run->crashed, run->message()};
}

QCoro::Task<Result<QList<DoctorFinding>>> doctorOf(QString executable)
{
    const Result<DoctorRun> run = co_await doctorRunOf(executable);
    if (!run)
        co_return run.error();
    co_return run->findings;
}

QCoro::Task<Result<QHash<QString, QString>>> linkedVersionsOf(QString executable)
{
    const QStringList arguments{QStringLiteral("linkquery"), QStringLiteral("--all"), QStringLiteral("--raw")};
    const Result<ZelkCommandResult> run = co_await runText(executable, arguments);
    if (!run)
        co_return run.error();
    co_return ZelkCLI::parseLinkedVersions(run->stdoutText);
}

QCoro::Task<Result<QStringList>> catalogOf(QString executable)
{
    const QStringList arguments{QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--json")};
    const Result<SearchResult> result = co_await decodeRun<SearchResult>(executable, arguments, &SearchResult::fromJson);
    if (!result)
        co_return result.error();
    co_return result->packages;
}

QCoro::Task<Result<QList<InstalledPackage>>> installedOf(QString executable)
{
    const QStringList arguments{QStringLiteral("list"), QStringLiteral("--json")};
    const Result<InstalledList> result = co_await decodeRun<InstalledList>(executable, arguments, &InstalledList::fromJson);
    if (!result)
        co_return result.error();
    co_return result->packages;
}

QStringList words(std::initializer_list<const char16_t *> list)
{
    QStringList result;
    for (const char16_t *word : list)
        result.append(QString::fromUtf16(word));
    return result;
}

} // namespace

ZelkCLI::ZelkCLI(QString executable)
    : m_executable(std::move(executable))
{
}

QCoro::Task<Result<ZelkCommandResult>> ZelkCLI::run(const QStringList &arguments) const
{
    return runText(m_executable, arguments);
}

QCoro::Task<Result<QString>> ZelkCLI::configuration() const
{
    return configurationOf(m_executable);
}

QCoro::Task<Result<QList<InstalledPackage>>> ZelkCLI::installed() const
{
    return installedOf(m_executable);
}

QCoro::Task<Result<CLIInfo>> ZelkCLI::versionInfo() const
{
    return decodeRun<CLIInfo>(m_executable, words({u"version", u"--json"}), &CLIInfo::fromJson);
}

QCoro::Task<Result<CatalogDocument>> ZelkCLI::catalogDocument() const
{
    return decodeRun<CatalogDocument>(m_executable, words({u"catalog", u"--json"}), &CatalogDocument::fromJson);
}

QCoro::Task<Result<QList<OutdatedItem>>> ZelkCLI::outdated() const
{
    return decodeRun<QList<OutdatedItem>>(m_executable, words({u"outdated", u"--json"}), &OutdatedItem::listFromJson);
}

QCoro::Task<Result<MirrorConfig>> ZelkCLI::mirrorConfig() const
{
    return decodeRun<MirrorConfig>(m_executable, words({u"mirror", u"get", u"--json"}), &MirrorConfig::fromJson);
}

QCoro::Task<Result<IndexStatus>> ZelkCLI::indexStatus() const
{
    return decodeRun<IndexStatus>(m_executable, words({u"index", u"status", u"--json"}), &IndexStatus::fromJson);
}

QCoro::Task<Result<InstallStatus>> ZelkCLI::status() const
{
    return decodeRun<InstallStatus>(m_executable, words({u"status", u"--json"}), &InstallStatus::fromJson);
}

QCoro::Task<Result<QStringList>> ZelkCLI::catalog() const
{
    return catalogOf(m_executable);
}

QCoro::Task<Result<PackageInfo>> ZelkCLI::info(const QString &name) const
{
    return decodeRun<PackageInfo>(m_executable, QStringList{QStringLiteral("info"), name, QStringLiteral("--json")},
                                  &PackageInfo::fromJson);
}

QCoro::Task<Result<QList<DoctorFinding>>> ZelkCLI::doctor() const
{
    return doctorOf(m_executable);
}

QCoro::Task<Result<DoctorRun>> ZelkCLI::doctorRun() const
{
    return doctorRunOf(m_executable);
}

QCoro::Task<Result<QHash<QString, QString>>> ZelkCLI::linkedVersions() const
{
    return linkedVersionsOf(m_executable);
}

QCoro::Task<Result<ZelkCommandResult>> ZelkCLI::refreshIndex() const
{
    return runText(m_executable, words({u"index", u"refresh"}));
}

std::unique_ptr<ZelkEventStream> ZelkCLI::stream(const QStringList &arguments) const
{
    return std::make_unique<ZelkEventStream>(m_executable, arguments);
}

std::unique_ptr<ZelkEventStream> ZelkCLI::operation(Operation operation, const QStringList &packages,
                                                    const QStringList &extraFlags) const
{
    QStringList arguments{rawValue(operation)};
    arguments += packages;
    arguments += extraFlags;
    arguments.append(QStringLiteral("--json-progress"));
    return stream(arguments);
}

QHash<QString, QString> ZelkCLI::parseLinkedVersions(const QString &text)
{
    return ZelkKit::parseLinkedVersions(text);
}

} // namespace ZelkKit
