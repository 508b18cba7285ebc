#pragma once

// The lock that keeps two zelk-sim operations (install, upgrade, reinstall,
// index refresh) from changing one state directory at the same time. It is
// the file "lock" in the state directory, holding the owner's process id; a
// lock whose owner is no longer running is taken over, so a killed zelk-sim
// never blocks the next one.

#include <QLockFile>
#include <QString>

namespace ZelkSim {

class OperationLock
{
public:
    explicit OperationLock(const QString &path);
    OperationLock(const OperationLock &) = delete;
    OperationLock &operator=(const OperationLock &) = delete;

    // Takes the lock without waiting; false when a live process holds it.
    bool tryAcquire();
    // The process id of the current holder, or 0 when it cannot be read.
    qint64 holderPid() const;
    void release();

private:
    QLockFile m_file;
};

} // namespace ZelkSim
