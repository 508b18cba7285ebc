#include "WorkerPool.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ZelkKit {

namespace {
Q_GLOBAL_STATIC(QThreadPool, pool)
} // namespace

QThreadPool *workerPool()
{
    static QThreadPool *const instance = [] {
        // A thread's own caches (Qt keeps its fonts per thread) go when the
        // thread ends: the pool's threads end while the application is still
        // there, as those of Qt's own pool do.
        qAddPostRoutine([] { pool()->waitForDone(); });
        return pool();
    }();
    return instance;
}

void yieldToForeground()
{
    // Linux keeps a niceness per thread; only ever raising it needs no
    // privilege.
    thread_local bool yielded = false;
    if (yielded)
        return;
    // A thread waiting for a future's result may run the work itself; the
    // GUI thread never gives its priority away.
    if (const QCoreApplication *app = QCoreApplication::instance(); app && QThread::currentThread() == app->thread())
        return;
    yielded = true;
    const id_t thread = id_t(gettid());
    errno = 0;
    const int own = getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        (void)setpriority(PRIO_PROCESS, thread, std::min(own + backgroundNiceness, 19));
}

} // namespace ZelkKit
