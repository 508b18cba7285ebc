#pragma once

// How fast an operation goes and how it stops. zelk-sim works in ticks: every
// step and every chunk of a download waits one tick, ZELK_SIM_DELAY_MS
// milliseconds (150 by default, about two seconds per package; 0 for tests).
// SIGTERM and SIGINT end the current wait at once and mark the run as
// interrupted; the operation then stops at the next safe point.

namespace ZelkSim {

class Pace
{
public:
    // Installs the SIGTERM/SIGINT handlers and ignores SIGPIPE (a write to a
    // closed pipe then fails and counts as an interruption instead).
    static void installSignalHandlers();

    // The tick length from the environment.
    static int tickMilliseconds();

    // Waits the given number of ticks; false when interrupted.
    static bool wait(int ticks = 1);

    static bool interrupted();
    // The signal that interrupted the run, or 0 (a closed output pipe).
    static int interruptSignal();
    // Marks the run as interrupted without a signal.
    static void interrupt();

    // The exit status for an interrupted run: 128 plus the signal number.
    static int interruptedExitStatus();
};

} // namespace ZelkSim
