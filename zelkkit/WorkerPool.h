#pragma once

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

class QThreadPool;

namespace ZelkKit {

// How much nicer than ReveZE's GUI thread its background work runs: the
// worker pool's threads and zelk's query children. On a busy machine (a
// full refresh decodes while five children run) the window then keeps the
// CPU it needs; on an idle one nothing changes.
inline constexpr int backgroundNiceness = 5;

// The threads ReveZE's own background work runs on: decoding zelk's
// documents, and folding, comparing and freeing large records. Not Qt's
// global pool: Qt's raster painting splits large fills and image conversions
// over that pool and waits for them, so work of a second or more queued
// there holds up painting on the GUI thread for as long.
QThreadPool *workerPool();

// Makes the calling thread backgroundNiceness nicer than it started, once;
// never the application's main thread.
void yieldToForeground();

// Runs `work` on the worker pool, nicer than the GUI thread.
template<typename F>
auto runInBackground(F &&work)
{
    return QtConcurrent::run(workerPool(), [work = std::forward<F>(work)]() mutable {
        yieldToForeground();
        return work();
    });
}

} // namespace ZelkKit
