#pragma once

#include "ZelkCLIError.h"
#include "ZelkEvent.h"

#include <QList>
#include <QStringList>

#include <qcoro/qcorotask.h>

#include <functional>
#include <memory>
#include <optional>

namespace ZelkKit {

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
    // Shared with the signal connections of the process and with readers
    // suspended in next(); defined in the source file.
    class State;
    std::shared_ptr<State> m_state;
};

} // namespace ZelkKit
