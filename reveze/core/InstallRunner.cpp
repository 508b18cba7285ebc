#include "InstallRunner.h"

#include "AppModel.h"

#include <CatalogStore.h>
#include <ZelkEventStream.h>

#include <QElapsedTimer>

#include <qcoro/qcorotimer.h>

#include <chrono>

using namespace ZelkKit;

namespace ReveZE {

// The consuming job of one run. It owns the stream; the runner only holds it
// to be able to cancel.
struct InstallRunner::Job {
    std::unique_ptr<ZelkEventStream> stream;
    bool cancelled = false;
};

namespace {

// How long the job handles events before it lets the event loop run: a
// batch holds everything zelk printed since the last one, tens of thousands
// of events when a run is fast, and the window must keep painting.
constexpr std::chrono::milliseconds timeSlice{6};

QCoro::Task<> consume(std::shared_ptr<InstallRunner::Job> job, QPointer<InstallRunner> runner,
                      std::function<void(InstallRunner *, const ZelkEvent &)> handle,
                      std::function<void(InstallRunner *, std::optional<QString>)> finish)
{
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        const QList<ZelkEvent> batch = co_await job->stream->nextBatch();
        slice.restart();
        if (batch.isEmpty())
            break;
        for (const ZelkEvent &event : batch) {
            if (job->cancelled)
                break;
            if (runner)
                handle(runner.data(), event);
            if (slice.elapsed() >= timeSlice.count()) {
                co_await QCoro::sleepFor(std::chrono::milliseconds(0));
                slice.restart();
            }
        }
        if (job->cancelled)
            break;
    }
    // A cancelled job no longer changes the outcome; a runner that went away
    // gets no finish and starts no refresh.
    if (job->cancelled || !runner)
        co_return;
    if (const std::optional<ZelkCLIError> error = job->stream->error())
        finish(runner.data(), error->errorDescription());
    else
        finish(runner.data(), std::nullopt);
}

QString joined(const QStringList &words, const QString &separator)
{
    return words.join(separator);
}

} // namespace

InstallRunner::InstallRunner(QObject *parent)
    : QObject(parent)
{
}

// Deliberately does not cancel: a run goes on without its runner.
InstallRunner::~InstallRunner() = default;

QString InstallRunner::cancelledText()
{
    return QStringLiteral("Cancelled.");
}

QString InstallRunner::unavailableText()
{
    return QStringLiteral("Quindle is not available.");
}

void InstallRunner::start(const OperationArguments &arguments, AppModel &model)
{
    // One run at a time: the running one is cancelled first, or left to end.
    if (m_isRunning)
        return;
    CatalogStore *store = model.store();
    if (!store) {
        setFailure(model.setupError().value_or(unavailableText()));
        setFinished(true);
        return;
    }
    m_model = &model;
    reset();
    setIsRunning(true);
    const QStringList vector = arguments.argumentList();
    append(QStringLiteral("zelk ") + joined(vector, QStringLiteral(" ")), false);

    auto job = std::make_shared<Job>();
    job->stream = store->operation(vector);
    m_task = job;
    auto task = consume(
        job, QPointer<InstallRunner>(this),
        [job](InstallRunner *runner, const ZelkEvent &event) {
            // Only the current run writes to the log and the state.
            if (runner->m_task == job)
                runner->handle(event);
        },
        [job](InstallRunner *runner, std::optional<QString> error) {
            if (runner->m_task == job)
                runner->finish(std::move(error));
        });
    Q_UNUSED(task); // runs on by itself
}

void InstallRunner::cancel()
{
    if (m_task) {
        std::shared_ptr<Job> job = std::move(m_task);
        m_task.reset();
        job->cancelled = true;
        // Ends the stream: SIGTERM to a child still running.
        job->stream->cancel();
    }
    if (m_isRunning)
        finish(cancelledText());
}

void InstallRunner::reset()
{
    if (!m_log.isEmpty()) {
        m_log.clear();
        Q_EMIT logChanged();
    }
    setPercent(std::nullopt);
    setFailure(std::nullopt);
    setFailureCode(std::nullopt);
    setInstalledPackage(std::nullopt);
    m_errorEventMessage.reset();
    m_errorEventCode.reset();
    setCurrentStep(QString());
    setFinished(false);
}

void InstallRunner::append(QString text, bool isError)
{
    m_log.append(LogLine::make(std::move(text), isError));
    Q_EMIT logLineAdded(m_log.constLast());
    Q_EMIT logChanged();
}

void InstallRunner::handle(const ZelkEvent &event)
{
    const QString arrow = QStringLiteral(" \u2192 ");
    if (const auto *plan = event.as<ZelkEvent::Plan>()) {
        append(QStringLiteral("plan: ") + plan->steps.join(arrow), false);
    } else if (const auto *step = event.as<ZelkEvent::Step>()) {
        if (step->status == QLatin1String("start"))
            setCurrentStep(step->name);
        append(step->name + QStringLiteral(" [") + step->status + QStringLiteral("]"), false);
    } else if (const auto *progress = event.as<ZelkEvent::Progress>()) {
        setPercent(progress->percent);
        if (progress->done && progress->total && *progress->total >= 1)
            append(QStringLiteral("download %1/%2 bytes").arg(*progress->done).arg(*progress->total), false);
    } else if (const auto *package = event.as<ZelkEvent::Package>()) {
        append(package->name + QStringLiteral(": ") + package->status, false);
        if (package->status == QLatin1String("ok"))
            setInstalledPackage(package->name);
    } else if (const auto *status = event.as<ZelkEvent::Status>()) {
        QString line = status->package + QStringLiteral(": ") + status->state + QStringLiteral(" (");
        if (status->fromVersion)
            line += *status->fromVersion + arrow;
        line += status->version + QStringLiteral(")");
        append(line, false);
    } else if (const auto *summary = event.as<ZelkEvent::Summary>()) {
        append(QStringLiteral("summary: %1 upgraded, %2 unchanged, %3 failed")
                   .arg(summary->upgraded.size())
                   .arg(summary->unchanged.size())
                   .arg(summary->failed.size()),
               !summary->failed.isEmpty());
    } else if (const auto *done = event.as<ZelkEvent::Done>()) {
        QString line = QStringLiteral("done: ") + done->package + QStringLiteral("@") + done->version;
        if (done->linked && *done->linked)
            line += QStringLiteral(", linked ") + done->bin.value_or(done->package);
        append(line, false);
        setInstalledPackage(done->package);
    } else if (const auto *error = event.as<ZelkEvent::Error>()) {
        m_errorEventMessage = error->message;
        m_errorEventCode = error->code;
        append(QStringLiteral("error: ") + error->message, true);
        for (const QString &hint : error->hint.value_or(QStringList()))
            append(QStringLiteral("  ") + hint, true);
    } else if (const auto *unknown = event.as<ZelkEvent::Unknown>()) {
        append(QStringLiteral("ignored unknown event: ") + unknown->type, false);
    }
}

void InstallRunner::finish(std::optional<QString> error)
{
    setIsRunning(false);
    setFinished(true);
    m_task.reset();
    if (error) {
        setFailure(std::move(error));
        setFailureCode(std::nullopt);
    } else {
        setFailure(m_errorEventMessage);
        setFailureCode(m_errorEventCode);
    }
    setCurrentStep(QString());
    // The model shows the effect of the run, whatever its outcome; nobody
    // waits for this refresh.
    if (m_model) {
        auto refresh = m_model->refresh(true);
        Q_UNUSED(refresh);
    }
}

#define REVEZE_SETTER(Name, member, Type, signal) \
    void InstallRunner::Name(Type value)          \
    {                                             \
        if (member == value)                      \
            return;                               \
        member = std::move(value);                \
        Q_EMIT signal();                          \
    }

REVEZE_SETTER(setIsRunning, m_isRunning, bool, isRunningChanged)
REVEZE_SETTER(setFinished, m_finished, bool, finishedChanged)
REVEZE_SETTER(setPercent, m_percent, std::optional<qint64>, percentChanged)
REVEZE_SETTER(setCurrentStep, m_currentStep, QString, currentStepChanged)
REVEZE_SETTER(setInstalledPackage, m_installedPackage, std::optional<QString>, installedPackageChanged)
REVEZE_SETTER(setFailure, m_failure, std::optional<QString>, failureChanged)
REVEZE_SETTER(setFailureCode, m_failureCode, std::optional<QString>, failureCodeChanged)

#undef REVEZE_SETTER

} // namespace ReveZE
