#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QStringList>

#include <chrono>
#include <functional>

namespace ZelkKit {

// Owns every zelk child process ReveZE starts, so that no QProcess is ever
// destroyed while its child runs (QProcess's destructor would SIGKILL the
// child and block the GUI thread). A stream's process is released with
// deleteLater() as soon as it is no longer running; a query's process is
// released by the query coroutine once it has read the output (QCoro resumes
// a coroutine awaiting a signal through a queued call, so the object must
// still be there when it does). Either way a run goes to its end whether or
// not its caller is still around.
//
// The quit policy lives here too, in shutdown(): stream children get SIGTERM
// at once, query children a short grace to finish; whatever still runs then
// is killed, and `done` is called once every child has exited and been
// released. Nothing blocks: it is driven by the event loop.
class ProcessRegistry : public QObject
{
    Q_OBJECT

public:
    enum class Role { Query, Stream };

    static ProcessRegistry &instance();

    // A new, not yet started process for one run of zelk, already adopted:
    // program and arguments as given (no shell), both output channels kept
    // apart, standard input inherited. An executable named without any "/"
    // is a file in the working directory, as every other relative path is;
    // it is never looked up on PATH (finding zelk there is ZelkLocator's
    // business, which hands over a full path).
    QProcess *create(const QString &executable, const QStringList &arguments, Role role);
    // For queries: the awaiting coroutine is done with a finished process.
    void release(QProcess *process);

    int liveCount() const { return int(m_processes.size()); }

    void shutdown(std::chrono::milliseconds grace, std::function<void()> done);
    bool isShuttingDown() const { return m_shuttingDown; }

Q_SIGNALS:
    void liveCountChanged(int count);

private:
    explicit ProcessRegistry(QObject *parent = nullptr);
    // Takes ownership of a process that is about to be started.
    void adopt(QProcess *process, Role role);
    void checkShutdownDone();
    void killRemaining();

    struct Entry {
        QPointer<QProcess> process;
        Role role;
    };
    QList<Entry> m_processes;
    bool m_shuttingDown = false;
    std::function<void()> m_shutdownDone;
};

// Fires exited() exactly once, when its process is no longer running or has
// failed to start (which Qt may report without any change of state). QCoro
// resumes a coroutine awaiting a signal through a queued call and does not
// drop a second queued resume when the signal fires twice in one turn, so a
// query awaits this one-shot signal rather than stateChanged.
class ProcessExitWaiter : public QObject
{
    Q_OBJECT

public:
    explicit ProcessExitWaiter(QProcess *process);
    bool hasExited() const { return m_exited; }

Q_SIGNALS:
    void exited();

private:
    void fire();
    bool m_exited = false;
};

} // namespace ZelkKit
