#include "OperationLock.h"

namespace ZelkSim {

OperationLock::OperationLock(const QString &path)
    : m_file(path)
{
    // Never treat a lock as stale by its age: an operation may run for long.
    // A lock whose process has died is still recognised and taken over.
    m_file.setStaleLockTime(0);
}

bool OperationLock::tryAcquire()
{
    return m_file.tryLock(0);
}

qint64 OperationLock::holderPid() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_file.getLockInfo(&pid, &host, &application))
        return 0;
    return pid;
}

void OperationLock::release()
{
    m_file.unlock();
}

} // namespace ZelkSim
