#pragma once

#include "ZelkCLIError.h"
#include "LineSplitter.h"
#include "ZelkEvent.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <coroutine>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ZelkKit {

namespace detail {
class StreamState;
}

// The live progress of one streamed zelk run (install, upgrade, reinstall with
// "--json-progress"). The child starts when the stream is made. Standard
// output is split at line feeds across any chunking; each line that decodes as
// an event is delivered in order, without limit on buffering. Standard error
// is drained for the whole run. The stream ends normally when zelk exits 0 or
// after it reported an `error` event; otherwise with commandFailed.
//
// The consumer owns the stream. cancel() — and destroying the stream — sends
// SIGTERM to a child that still runs and delivers nothing more; the process
// itself stays with ProcessRegistry until it has exited.
class ZelkEventStream
{
public:
    ZelkEventStream(const QString &executable, const QStringList &arguments);
    ~ZelkEventStream();

    ZelkEventStream(const ZelkEventStream &) = delete;
    ZelkEventStream &operator=(const ZelkEventStream &) = delete;

    // The next event, or nothing once the stream has ended (see error()).
    QCoro::Task<std::optional<ZelkEvent>> next();
    // Waits until at least one event is buffered or the stream has ended, then
    // hands over every buffered event (empty only at the end).
    QCoro::Task<QList<ZelkEvent>> nextBatch();

    bool hasEnded() const;
    // How the stream ended: none for a normal end or a cancellation.
    std::optional<ZelkCLIError> error() const;
    bool wasCancelled() const;

    void cancel();

    // Called exactly once, when the stream ends in any way: normally, with an
    // error, by cancel(), or by destruction.
    void setEndHandler(std::function<void()> handler);

    const QStringList &arguments() const { return m_arguments; }

private:
    QStringList m_arguments;
    std::shared_ptr<detail::StreamState> m_state;
};

namespace detail {

// Shared between the stream and the signal connections of its process.
class StreamState : public QObject
{
    Q_OBJECT

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
        StreamState *state;
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

Q_SIGNALS:
    void changed();
};

} // namespace detail

} // namespace ZelkKit
