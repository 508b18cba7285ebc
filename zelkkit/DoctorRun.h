#pragma once

#include "Models.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace ZelkKit {

// One finished `zelk doctor --raw`: its findings and how the run ended. zelk
// exits with the number of findings, so the status says nothing by itself;
// a run that crashed, or that exited non-zero without a single finding, did
// not check anything — the caller decides what to make of that.
struct DoctorRun {
    QList<DoctorFinding> findings;
    qint32 exitCode = 0;
    bool crashed = false;
    // The run's message: standard error if any, else standard output, trimmed.
    QString message;
};

} // namespace ZelkKit
