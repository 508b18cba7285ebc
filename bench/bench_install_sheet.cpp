// A run of about a million progress events from zelk-sim through the real
// install sheet, beside the bare stream of the same events, in one process:
//
// - events per second through the sheet (runner, chunked log, virtual log
//   view, the sheet's own redraws) beside the bare ZelkEventStream rate of
//   the same run (goal >= 0.5x the bare rate);
// - the longest gap of a 1 ms GUI-thread timer while the events arrive,
//   beside the same gap during the bare stream (goal <= 16 ms), and over the
//   whole run with its end (the end starts the model's refresh: five zelk
//   children spawned by a process that holds the million-line log);
// - the growth of the peak resident memory (VmHWM) over the sheet's run
//   (goal <= 200 MB);
// - the report of the run built off the GUI thread (Copy error's work), and
//   the longest timer gap while "Install another" frees the log.
//
// Both runs reinstall the same package of a fresh copy of the demo tree,
// with one progress event per download chunk (ZELK_SIM_DOWNLOAD_CHUNKS).

#include "BenchClock.h"

#include "AppModel.h"
#include "InstallRunner.h"
#include "Localizer.h"
#include "install/InstallLogView.h"
#include "install/InstallSheet.h"

#include <CatalogStore.h>
#include <ProcessRegistry.h>
#include <ZelkCLI.h>
#include <ZelkEventStream.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <cstdio>
#include <ctime>

using namespace ReveZE;
using namespace ReveZEBench;

namespace {

constexpr int chunks = 1000000;

void settle(AppModel &model)
{
    spinUntil([&] { return !model.isLoading() && ZelkKit::ProcessRegistry::instance().liveCount() == 0; }, 120000);
}

struct BareResult {
    qint64 events = 0;
    double ms = 0;
    double worstGap = 0;
    double worstGapBeforeEnd = 0;
};

// The same run's events consumed straight from the stream.
BareResult bareStream(AppModel &model, const QStringList &vector)
{
    BareResult result;
    bool done = false;
    GapMeter gaps;
    gaps.start();
    const double start = monotonicMs();
    auto consume = [&]() -> QCoro::Task<> {
        std::unique_ptr<ZelkKit::ZelkEventStream> stream = model.store()->operation(vector);
        for (;;) {
            const QList<ZelkKit::ZelkEvent> batch = co_await stream->nextBatch();
            if (batch.isEmpty()) {
                result.worstGapBeforeEnd = gaps.worstSoFar();
                break;
            }
            result.events += batch.size();
        }
        done = true;
    };
    auto task = consume();
    spinUntil([&] { return done; }, 600000);
    result.ms = monotonicMs() - start;
    result.worstGap = gaps.stop();
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    qputenv("ZELK_SIM_STATE", QFile::encodeName(root.filePath(QStringLiteral("state"))));
    qputenv("ZELK_SIM_DEMO", ZELK_SIM_DEMO_DIR);
    qputenv("ZELK_SIM_DELAY_MS", "0");
    qputenv("ZELK_SIM_DOWNLOAD_CHUNKS", QByteArray::number(chunks));
    QSettings settings(root.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Localizer l(AppLanguage::English, {&settings, QStringList{QStringLiteral("en")}});
    AppModel model(ZelkKit::ZelkCLI(QStringLiteral(ZELK_SIM_PATH)));

    const QString package = QStringLiteral("jq");
    const QStringList vector{QStringLiteral("reinstall"), package, QStringLiteral("--yes")};

    // The bare stream first: it holds nothing, so it does not lift the peak.
    const BareResult bare = bareStream(model, vector);
    settle(model);

    InstallSheet sheet(model, l, package, ZelkKit::ZelkOperation::Reinstall, false);
    sheet.open();
    spinUntil([] { return false; }, 200);
    const double peakBefore = vmHwmMb();
    GapMeter gaps;
    gaps.start();
    const double start = monotonicMs();
    double sheetGapBeforeEnd = 0;
    QObject::connect(sheet.runner(), &InstallRunner::finishedChanged, &sheet,
                     [&] { sheetGapBeforeEnd = gaps.worstSoFar(); });
    sheet.start();
    const bool ended = spinUntil([&] { return sheet.runner()->finished(); }, 600000);
    const double sheetMs = monotonicMs() - start;
    // The view has taken in every line once its next frame has passed.
    spinUntil([&] { return sheet.logView()->shownLineCount() == sheet.runner()->log().size(); }, 10000);
    const double sheetGap = gaps.stop();
    const double sheetGapAt = gaps.worstAt() - start;
    const double sheetCpu = gaps.worstCpu();
    const double peakAfter = vmHwmMb();
    const qsizetype lines = sheet.runner()->log().size();
    const bool failed = sheet.runner()->failure().has_value();
    settle(model);

    // The report of the run, built on a worker; the GUI thread keeps ticking.
    gaps.start();
    double reportMs = monotonicMs();
    bool copied = false;
    QObject::connect(&sheet, &InstallSheet::copiedReportChanged, &sheet, [&] { copied = copied || sheet.copiedReport(); });
    auto copy = sheet.copyReport();
    spinUntil([&] { return copied; }, 60000);
    reportMs = monotonicMs() - reportMs;
    const double reportGap = gaps.stop();

    // "Install another" lets go of the million lines on a worker.
    gaps.start();
    sheet.installAnother();
    spinUntil([] { return false; }, 500);
    const double freeGap = gaps.stop();

    const double bareRate = bare.events / (bare.ms / 1000.0);
    const double sheetRate = bare.events / (sheetMs / 1000.0);
    std::printf("events in the run:               %lld (%lld log lines)%s\n", static_cast<long long>(bare.events),
                static_cast<long long>(lines), ended && !failed ? "" : "  [the sheet's run did not succeed]");
    std::printf("bare stream:                     %.0f ms, %.0f events/s\n", bare.ms, bareRate);
    std::printf("through the sheet:               %.0f ms, %.0f events/s  (%.2fx the bare rate; goal >= 0.5x)\n",
                sheetMs, sheetRate, sheetRate / bareRate);
    std::printf("longest 1 ms timer gap while events arrive: sheet %.1f ms, bare stream %.1f ms  (goal <= 16 ms)\n",
                sheetGapBeforeEnd, bare.worstGapBeforeEnd);
    std::printf("longest 1 ms timer gap, whole run and its end: sheet %.1f ms (ending %.0f ms into a %.0f ms run), "
                "bare stream %.1f ms\n",
                sheetGap, sheetGapAt, sheetMs, bare.worstGap);
    std::printf("  the most the GUI thread was on a CPU between two ticks: %.1f ms (the rest of a gap is waiting\n"
                "  for a CPU; load average %.2f)\n",
                sheetCpu, loadAverage());
    std::printf("peak memory (VmHWM) growth:      %.0f MB  (%.0f -> %.0f MB; goal <= 200 MB)\n", peakAfter - peakBefore,
                peakBefore, peakAfter);
    std::printf("report of the run, off the GUI:  %.0f ms, longest timer gap %.1f ms\n", reportMs, reportGap);
    std::printf("install another (log freed):     longest timer gap %.1f ms\n", freeGap);
    settle(model);
    return ended && !failed ? 0 : 1;
}
