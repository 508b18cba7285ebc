#include "WorkerPool.h"

#include <QThreadPool>

namespace ZelkKit {

namespace {
Q_GLOBAL_STATIC(QThreadPool, pool)
} // namespace

QThreadPool *workerPool()
{
    return pool();
}

} // namespace ZelkKit
