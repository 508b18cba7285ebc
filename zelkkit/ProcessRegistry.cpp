#include "ProcessRegistry.h"

#include "WorkerPool.h"

#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

namespace ZelkKit {

ProcessRegistry &ProcessRegistry::instance()
{
    // Deliberately never destroyed: it must outlive every coroutine that may
    // still hold one of its processes at exit.
    static auto *registry = new ProcessRegistry;
    return *registry;
}

ProcessRegistry::ProcessRegistry(QObject *parent)
    : QObject(parent)
{
}

QProcess *ProcessRegistry::create(const QString &executable, const QStringList &arguments, Role role)
{
    auto *process = new QProcess;
    // QProcess searches PATH for a program without a slash; "./" keeps it
    // where the child's (inherited) working directory is. An empty program
    // stays empty, so that the start fails as it should.
    const bool bare = !executable.isEmpty() && !executable.contains(QLatin1Char('/'));
    process->setProgram(bare ? QStringLiteral("./") + executable : executable);
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);
    adopt(process, role);
    return process;
}

void ProcessRegistry::adopt(QProcess *process, Role role)
{
    m_processes.append(Entry{process, role});
    if (role == Role::Query) {
        // A query is background work for the window: on a busy machine
        // (a full refresh runs five at once) it yields the CPU to the GUI
        // thread rather than shares it. Only a later value is ever asked for,
        // which needs no privilege; an install or upgrade keeps its own.
        connect(process, &QProcess::started, process, [process] {
            const qint64 pid = process->processId();
            if (pid <= 0)
                return;
            // The child starts with ReveZE's own niceness; it only goes up.
            errno = 0;
            const int own = getpriority(PRIO_PROCESS, 0);
            if (errno == 0)
                (void)setpriority(PRIO_PROCESS, id_t(pid), std::min(own + backgroundNiceness, 19));
        });
    }
    if (role == Role::Stream) {
        connect(process, &QProcess::stateChanged, this, [this, process](QProcess::ProcessState state) {
            if (state == QProcess::NotRunning)
                release(process);
        });
        // A start refused before any child exists (no program) never
        // changes the state.
        connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                release(process);
        });
    }
    Q_EMIT liveCountChanged(liveCount());
}

void ProcessRegistry::release(QProcess *process)
{
    const auto it = std::find_if(m_processes.begin(), m_processes.end(),
                                 [process](const Entry &e) { return e.process == process; });
    if (it == m_processes.end())
        return;
    m_processes.erase(it);
    process->disconnect(this);
    process->deleteLater();
    Q_EMIT liveCountChanged(liveCount());
    if (m_shuttingDown)
        QTimer::singleShot(0, this, &ProcessRegistry::checkShutdownDone);
}

void ProcessRegistry::shutdown(std::chrono::milliseconds grace, std::function<void()> done)
{
    m_shuttingDown = true;
    m_shutdownDone = std::move(done);
    for (const Entry &entry : std::as_const(m_processes)) {
        if (entry.process && entry.role == Role::Stream && entry.process->state() != QProcess::NotRunning)
            entry.process->terminate();
    }
    if (!m_processes.isEmpty())
        QTimer::singleShot(grace, this, &ProcessRegistry::killRemaining);
    QTimer::singleShot(0, this, &ProcessRegistry::checkShutdownDone);
}

void ProcessRegistry::killRemaining()
{
    for (const Entry &entry : std::as_const(m_processes)) {
        if (entry.process && entry.process->state() != QProcess::NotRunning)
            entry.process->kill();
    }
}

void ProcessRegistry::checkShutdownDone()
{
    if (!m_shuttingDown || !m_processes.isEmpty() || !m_shutdownDone)
        return;
    auto done = std::move(m_shutdownDone);
    m_shutdownDone = nullptr;
    // One more turn of the event loop so that the released processes are
    // deleted and the coroutines that awaited them have finished.
    QTimer::singleShot(0, this, [done] { done(); });
}

ProcessExitWaiter::ProcessExitWaiter(QProcess *process)
{
    connect(process, &QProcess::stateChanged, this, [this](QProcess::ProcessState state) {
        if (state == QProcess::NotRunning)
            fire();
    });
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fire();
    });
}

void ProcessExitWaiter::fire()
{
    if (m_exited)
        return;
    m_exited = true;
    Q_EMIT exited();
}

} // namespace ZelkKit
