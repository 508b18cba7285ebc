#include "Pace.h"

#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <ctime>

namespace ZelkSim {

namespace {

volatile std::sig_atomic_t interruptedBy = 0;
volatile std::sig_atomic_t interruptedFlag = 0;

extern "C" void onTerminationSignal(int signal)
{
    interruptedBy = signal;
    interruptedFlag = 1;
}

} // namespace

void Pace::installSignalHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a sleeping nanosleep() returns at once with EINTR.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

int Pace::tickMilliseconds()
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue("ZELK_SIM_DELAY_MS", &ok);
    if (!ok || value < 0)
        return 150;
    return value;
}

bool Pace::wait(int ticks)
{
    if (interrupted())
        return false;
    const long long total = static_cast<long long>(tickMilliseconds()) * ticks;
    if (total <= 0)
        return !interrupted();
    timespec remaining = {static_cast<time_t>(total / 1000), static_cast<long>((total % 1000) * 1000000)};
    while (nanosleep(&remaining, &remaining) != 0) {
        if (errno != EINTR || interrupted())
            break;
    }
    return !interrupted();
}

bool Pace::interrupted()
{
    return interruptedFlag != 0;
}

int Pace::interruptSignal()
{
    return interruptedBy;
}

void Pace::interrupt()
{
    interruptedFlag = 1;
}

int Pace::interruptedExitStatus()
{
    return 128 + (interruptedBy != 0 ? static_cast<int>(interruptedBy) : SIGPIPE);
}

} // namespace ZelkSim
