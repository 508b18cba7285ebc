#include "ZelkEventStream.h"

#include "LineSplitter.h"
#include "ProcessRegistry.h"
#include "Utf8.h"

#include <QObject>
#include <QPointer>
#include <QProcess>

#include <coroutine>
#include <deque>
#include <vector>

namespace ZelkKit {

// A QObject so that the process's signals are delivered to it (and cut off
// with it) and so that wake-ups can be queued on it.
class ZelkEventStream::State : public QObject
{
public:
    QPointer<QProcess> process;
    QStringList arguments;
    LineSplitter splitter;
    std::deque<ZelkEvent> events;
    bool errorSeen = false;
    bool started = false;
    bool ended = false;
    bool cancelled = false;
    std::optional<ZelkCLIError> error;
    std::function<void()> endHandler;

    // Readers suspended in next() or nextBatch(). They are resumed through
    // one queued call per change, never from inside QProcess's signals.
    // (QCoro's signal awaiter cannot be used here: two emissions before its
    // queued resume runs resume it twice, the second time after its
    // coroutine has moved on.)
    std::vector<std::coroutine_handle<>> waiters;
    bool wakePosted = false;

    struct Change {
        State *state;
        bool await_ready() const noexcept { return !state->events.empty() || state->ended; }
        void await_suspend(std::coroutine_handle<> waiter) { state->waiters.push_back(waiter); }
        void await_resume() const noexcept {}
    };

    void readOutput();
    void handleLine(QByteArrayView line);
    void processEnded();
    void launchFailed();
    void end();
    void notify();
};

void ZelkEventStream::State::readOutput()
{
    if (!process || ended)
        return;
    const QByteArray chunk = process->readAllStandardOutput();
    const std::size_t before = events.size();
    splitter.feed(chunk, [this](QByteArrayView line) { handleLine(line); });
    if (events.size() != before)
        notify();
}

void ZelkEventStream::State::handleLine(QByteArrayView line)
{
    std::optional<ZelkEvent> event = ZelkEvent::fromLine(line);
    if (!event)
        return;
    if (event->eventCase() == ZelkEvent::Case::Error)
        errorSeen = true;
    events.push_back(std::move(*event));
}

void ZelkEventStream::State::processEnded()
{
    if (ended || !process)
        return;
    if (process->error() == QProcess::FailedToStart) {
        error = ZelkCLIError::launchFailed(process->errorString());
        end();
        return;
    }
    readOutput();
    // A last line without a line feed still counts.
    splitter.finish([this](QByteArrayView line) { handleLine(line); });
    const qint32 status = qint32(process->exitCode());
    if (status != 0 && !errorSeen) {
        QString message = Utf8::text(process->readAllStandardError()).trimmed();
        if (message.isEmpty()) {
            // One pass over the pattern: an argument may itself hold "%1".
            message = QStringLiteral("`zelk %1` exited with status %2.")
                          .arg(arguments.join(QLatin1Char(' ')), QString::number(status));
        }
        error = ZelkCLIError::commandFailed(status, message);
    }
    end();
}

void ZelkEventStream::State::launchFailed()
{
    if (ended || !process)
        return;
    error = ZelkCLIError::launchFailed(process->errorString());
    end();
}

void ZelkEventStream::State::end()
{
    if (ended)
        return;
    ended = true;
    if (process)
        process->disconnect(this);
    notify();
    if (endHandler) {
        auto handler = std::move(endHandler);
        endHandler = nullptr;
        handler();
    }
}

void ZelkEventStream::State::notify()
{
    if (waiters.empty() || wakePosted)
        return;
    wakePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            wakePosted = false;
            // Each waiter holds the state; a resumed one re-checks and may
            // wait again.
            const std::vector<std::coroutine_handle<>> ready = std::exchange(waiters, {});
            for (std::coroutine_handle<> waiter : ready)
                waiter.resume();
        },
        Qt::QueuedConnection);
}

ZelkEventStream::ZelkEventStream(const QString &executable, const QStringList &arguments)
    : m_arguments(arguments)
    // Deleted through the event loop: the last owner may let go while one of
    // the state's own signals is being delivered.
    , m_state(new State, [](State *state) { state->deleteLater(); })
{
    QProcess *process = ProcessRegistry::instance().create(executable, arguments, ProcessRegistry::Role::Stream);
    m_state->process = process;
    m_state->arguments = arguments;
    State *state = m_state.get();
    QObject::connect(process, &QProcess::readyReadStandardOutput, state, &State::readOutput);
    // A failed start reports NotRunning before it sets the error, so only
    // the end of a child that was running ends the stream here; a start
    // failure ends it through errorOccurred.
    QObject::connect(process, &QProcess::stateChanged, state, [state](QProcess::ProcessState s) {
        if (s == QProcess::Running)
            state->started = true;
        else if (s == QProcess::NotRunning && state->started)
            state->processEnded();
    });
    QObject::connect(process, &QProcess::errorOccurred, state, [state](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            state->launchFailed();
    });
    process->start();
}

ZelkEventStream::~ZelkEventStream()
{
    cancel();
}

QCoro::Task<std::optional<ZelkEvent>> ZelkEventStream::next()
{
    std::shared_ptr<State> state = m_state;
    while (state->events.empty() && !state->ended)
        co_await State::Change{state.get()};
    if (state->events.empty())
        co_return std::nullopt;
    ZelkEvent event = std::move(state->events.front());
    state->events.pop_front();
    co_return event;
}

QCoro::Task<QList<ZelkEvent>> ZelkEventStream::nextBatch()
{
    std::shared_ptr<State> state = m_state;
    while (state->events.empty() && !state->ended)
        co_await State::Change{state.get()};
    QList<ZelkEvent> batch;
    batch.reserve(qsizetype(state->events.size()));
    for (ZelkEvent &event : state->events)
        batch.append(std::move(event));
    state->events.clear();
    co_return batch;
}

bool ZelkEventStream::hasEnded() const
{
    return m_state->ended;
}

std::optional<ZelkCLIError> ZelkEventStream::error() const
{
    return m_state->error;
}

bool ZelkEventStream::wasCancelled() const
{
    return m_state->cancelled;
}

void ZelkEventStream::cancel()
{
    State *state = m_state.get();
    if (state->ended)
        return;
    state->cancelled = true;
    state->events.clear();
    if (state->process && state->process->state() != QProcess::NotRunning)
        state->process->terminate();
    state->end();
}

void ZelkEventStream::setEndHandler(std::function<void()> handler)
{
    if (m_state->ended) {
        if (handler)
            handler();
        return;
    }
    m_state->endHandler = std::move(handler);
}

} // namespace ZelkKit
