#pragma once

class QThreadPool;

namespace ZelkKit {

// The threads ReveZE's own background work runs on: decoding zelk's
// documents, and folding, comparing and freeing large records. Not Qt's
// global pool: Qt's raster painting splits large fills and image conversions
// over that pool and waits for them, so work of a second or more queued
// there holds up painting on the GUI thread for as long.
QThreadPool *workerPool();

} // namespace ZelkKit
