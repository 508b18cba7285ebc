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
// start and end on the monotonic clock, to be lined up with a profile.
class GapMeter : public QObject
{
public:
    GapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const double now = monotonicMs();
            if (m_last > 0) {
                if (now - m_last > m_worst) {
                    m_worst = now - m_last;
                    m_worstAt = now;
                }
                if (m_report && now - m_last > 16)
                    std::fprintf(stderr, "gap %.1f ms from %.3f to %.3f\n", now - m_last, m_last, now);
            }
            m_last = now;
        });
    }
    void start()
    {
        m_last = 0;
        m_worst = 0;
        m_timer.start();
    }
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
    double m_worst = 0;
    double m_worstAt = 0;
};

} // namespace ReveZEBench
