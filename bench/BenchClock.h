#pragma once

// What the end-to-end benchmarks share: the monotonic clock their figures
// are read on, the process's peak resident memory, waiting on the event
// loop, and the longest gap of a 1 ms GUI-thread timer.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace ReveZEBench {

// The calling thread's CPU time in milliseconds.
inline double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

// CLOCK_MONOTONIC in milliseconds: the clock `perf record -k mono` uses.
inline double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

// VmHWM of this process, in MB.
inline double vmHwmMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// The machine's load average over the last minute.
inline double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().split(' ').value(0).toDouble();
}

// Spins the event loop until `done` holds, at most `limit` ms.
template<typename F>
bool spinUntil(F done, int limit)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The longest gap between two ticks of a 1 ms timer while it runs. With
// REVEZE_BENCH_GAPS=1 every gap longer than a frame is printed with its
// start and end on the monotonic clock, to be lined up with a profile, and
// how long the GUI thread was on a CPU meanwhile: a gap mostly off the CPU
// is the machine's other work, not ReveZE's.
class GapMeter : public QObject
{
public:
    GapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const double now = monotonicMs();
            const double cpu = threadCpuMs();
            if (m_last > 0) {
                if (now - m_last > m_worst) {
                    m_worst = now - m_last;
                    m_worstAt = now;
                }
                m_worstCpu = std::max(m_worstCpu, cpu - m_lastCpu);
                if (m_report && now - m_last > 16)
                    std::fprintf(stderr, "gap %.1f ms from %.3f to %.3f, on a CPU %.1f ms\n", now - m_last, m_last,
                                 now, cpu - m_lastCpu);
            }
            m_last = now;
            m_lastCpu = cpu;
        });
    }
    void start()
    {
        m_last = 0;
        m_worst = 0;
        m_worstCpu = 0;
        m_timer.start();
    }
    // The most CPU time the GUI thread spent between two ticks: the part of
    // a gap that is ReveZE's own work rather than waiting for a CPU.
    double worstCpu() const { return m_worstCpu; }
    // When the longest gap so far ended.
    double worstAt() const { return m_worstAt; }
    double worstSoFar() const { return m_worst; }
    double stop()
    {
        m_timer.stop();
        return m_worst;
    }

private:
    QTimer m_timer;
    bool m_report = qEnvironmentVariableIntValue("REVEZE_BENCH_GAPS") != 0;
    double m_last = 0;
    double m_lastCpu = 0;
    double m_worst = 0;
    double m_worstAt = 0;
    double m_worstCpu = 0;
};

} // namespace ReveZEBench
