#pragma once

#include <WorkerPool.h>

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace ReveZE {

// Lets a value go on the worker pool: freeing a 100,000-package catalog, or
// the fold of one, takes tens of milliseconds, which the GUI thread cannot
// spare. Whoever drops the last reference to shared data frees it, so a
// caller hands over every reference it holds; the worker then frees the
// data unless someone else still holds it.
template<typename T>
void releaseOffThread(T &&value)
{
    (void)ZelkKit::runInBackground([value = std::forward<T>(value)]() mutable { std::decay_t<T> gone = std::move(value); });
}

} // namespace ReveZE
