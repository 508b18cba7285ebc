// The package detail at its largest, against a state written by
// `zelk-sim generate` with a hub: libhub, which 2,000 of the 3,000 installed
// packages depend on and which has 500 dependencies of its own.
//
// - The hub's detail from construction through layout to a render into a
//   QImage, and its redraw after a change of the install status (a refresh
//   that changes one package elsewhere, until the detail is rendered again),
//   beside the same for a leaf package: minimum and median of 3 runs each
//   (goal: hub <= 16 ms and <= 3x the leaf).
// - The most zelk children alive at once while the window's selection moves
//   down 300 rows of the Installed list at 30 rows a second, with `zelk info`
//   taking 200 ms (goal: <= 4), beside a shorter sweep with neither the rest
//   before a load nor the limit on loads in flight.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "AppModel.h"
#include "Localizer.h"
#include "detail/InfoLoadQueue.h"
#include "detail/PackageDetailView.h"
#include "window/ContentView.h"

#include <CatalogStore.h>
#include <InstallStatus.h>
#include <ProcessRegistry.h>
#include <ZelkCLI.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <qcoro/qcorotask.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace ReveZE;
using namespace std::chrono_literals;

namespace {

constexpr int repetitions = 3;
constexpr int sweepRows = 300;
// The sweep without rest or limit starts a child per row; a shorter one
// makes the point without a minute of zelk-sim runs.
constexpr int eagerRows = 60;
constexpr int rowsPerSecond = 30;
const char hubName[] = "libhub";

// Runs the event loop for `ms` milliseconds (a benchmark may).
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(qMax(0, ms), &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs a task to its end.
template<typename T>
T run(QCoro::Task<T> &&task)
{
    std::optional<T> result;
    QEventLoop loop;
    auto drive = [&]() -> QCoro::Task<> {
        result.emplace(co_await std::move(task));
        loop.quit();
    };
    [[maybe_unused]] QCoro::Task<> driver = drive();
    if (!result)
        loop.exec();
    return std::move(*result);
}

void run(QCoro::Task<> &&task)
{
    bool done = false;
    QEventLoop loop;
    auto drive = [&]() -> QCoro::Task<> {
        co_await std::move(task);
        done = true;
        loop.quit();
    };
    [[maybe_unused]] QCoro::Task<> driver = drive();
    if (!done)
        loop.exec();
}

// Answers the install status from memory, the rest of a refresh with
// nothing, so that a refresh measures ReveZE and not zelk.
class MemoryStore : public ZelkKit::CatalogStore
{
public:
    MemoryStore() : CatalogStore(ZelkKit::ZelkCLI(QStringLiteral("/nonexistent/zelk")), 600)
    {
        m_version.version = QStringLiteral("0.9.4");
        m_version.protocolNumber = 1;
        m_version.capabilities = {QStringLiteral("json-progress"), QStringLiteral("status")};
    }
    ZelkKit::InstallStatus next;

    QCoro::Task<ZelkKit::Result<ZelkKit::CLIInfo>> versionInfo() override { co_return m_version; }
    QCoro::Task<ZelkKit::Result<ZelkKit::InstallStatus>> status() override
    {
        // A copy: GCC 12 may move from a member named in co_return.
        ZelkKit::InstallStatus answer = next;
        co_return answer;
    }
    QCoro::Task<ZelkKit::Result<QList<ZelkKit::InstalledPackage>>> installed() override
    {
        co_return QList<ZelkKit::InstalledPackage>();
    }
    QCoro::Task<ZelkKit::Result<ZelkKit::CatalogDocument>> catalogDocument(bool) override
    {
        co_return ZelkKit::CatalogDocument();
    }
    QCoro::Task<ZelkKit::Result<QList<ZelkKit::OutdatedItem>>> outdated() override
    {
        co_return QList<ZelkKit::OutdatedItem>();
    }

private:
    ZelkKit::CLIInfo m_version;
};

double milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Figures {
    double minimum;
    double median;
};

Figures figures(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples.first(), samples[samples.size() / 2]};
}

// Lets the posted layout requests of a shown widget tree run, nothing else
// (no timers: the detail's rest never ends here).
void layOut()
{
    for (int i = 0; i < 6; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

QImage renderOf(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

struct DetailFigures {
    Figures open;
    Figures redraw;
    int dependents = 0;
    int dependencies = 0;
};

DetailFigures measure(AppModel &model, MemoryStore &store, Localizer &l, const QString &name)
{
    QList<double> open;
    QList<double> redraw;
    DetailFigures result;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        auto view = std::make_unique<PackageDetailView>(model, l, name);
        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->resize(560, 800);
        view->show();
        layOut();
        const QImage first = renderOf(*view);
        open.append(milliseconds(timer));
        result.dependents = int(view->dependents().size());
        result.dependencies = view->installedDetail() ? int(view->installedDetail()->deps.size()) : 0;

        // Another package changes version: a new install status arrives.
        ZelkKit::InstallStatus changed = store.next;
        changed.packages[i].version += QStringLiteral(".1");
        store.next = changed;
        timer.restart();
        run(model.refresh(true));
        layOut();
        const QImage second = renderOf(*view);
        redraw.append(milliseconds(timer));
        if (first.isNull() || second.isNull())
            std::fprintf(stderr, "bench_package_detail: empty render\n");
    }
    result.open = figures(open);
    result.redraw = figures(redraw);
    return result;
}

struct Sweep {
    int mostAlive = 0;
    int infoRuns = 0;
    double lastLoaded = 0;
};

// Moves the window's selection down the Installed list, one row every
// 1/30 s, and counts the zelk children alive at each change.
Sweep sweep(ContentView &window, AppModel &model, const QStringList &names, int rows)
{
    ZelkKit::ProcessRegistry &registry = ZelkKit::ProcessRegistry::instance();
    Sweep result;
    const int base = registry.liveCount();
    auto connection = QObject::connect(&registry, &ZelkKit::ProcessRegistry::liveCountChanged, &window,
                                       [&](int count) { result.mostAlive = qMax(result.mostAlive, count - base); });
    InfoLoadQueue &queue = InfoLoadQueue::of(model);
    auto counting = QObject::connect(&queue, &InfoLoadQueue::loadFinished, &window, [&] { ++result.infoRuns; });
    QElapsedTimer clock;
    clock.start();
    for (int row = 0; row < rows; ++row) {
        window.setSelectedPackage(names.at(row));
        const qint64 due = qint64(row + 1) * 1000 / rowsPerSecond;
        spin(int(due - clock.elapsed()));
    }
    const qint64 stopped = clock.elapsed();
    auto *detail = qobject_cast<NavigationScreen *>(window.detailWidget());
    while ((detail && !detail->isLoaded()) || registry.liveCount() > base)
        spin(10);
    result.lastLoaded = double(clock.elapsed() - stopped);
    QObject::disconnect(connection);
    QObject::disconnect(counting);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("state"));
    QProcess generate;
    generate.start(QStringLiteral(ZELK_SIM_PATH),
                   {QStringLiteral("generate"), QStringLiteral("--catalog"), QStringLiteral("4000"),
                    QStringLiteral("--installed"), QStringLiteral("3000"), QStringLiteral("--hub-dependents"),
                    QStringLiteral("2000"), QStringLiteral("--hub-dependencies"), QStringLiteral("500"),
                    QStringLiteral("--out"), state});
    if (!generate.waitForFinished(120000) || generate.exitCode() != 0) {
        std::fprintf(stderr, "bench_package_detail: zelk-sim generate failed: %s\n",
                     generate.readAllStandardError().constData());
        return 1;
    }
    qputenv("ZELK_SIM_STATE", QFile::encodeName(state));
    qputenv("ZELK_SIM_INFO_DELAY_MS", "200");

    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Localizer l(AppLanguage::English, {&settings, QStringList{QStringLiteral("en")}});

    // The install status as zelk-sim prints it, decoded once.
    ZelkKit::CatalogStore reader(ZelkKit::ZelkCLI(QStringLiteral(ZELK_SIM_PATH)), 600);
    ZelkKit::Result<ZelkKit::InstallStatus> status = run(reader.status());
    if (!status) {
        std::fprintf(stderr, "bench_package_detail: %s\n", qPrintable(status.error().errorDescription()));
        return 1;
    }
    // A leaf: installed, nothing depends on it.
    QString leaf;
    for (const ZelkKit::InstalledDetail &package : status.value().packages) {
        if (package.kind == ZelkKit::InstalledDetail::Kind::Package && package.deps.size() <= 2
            && status.value().dependents(package.name).isEmpty()) {
            leaf = package.name;
            break;
        }
    }

    {
        // The rest never ends during these measurements: no load, no child.
        PackageDetailView::setRestDelay(1h);
        auto *memory = new MemoryStore;
        memory->next = status.value();
        AppModel model(memory);
        run(model.refresh(false));
        // The first detail of the process loads fonts, icons and styles.
        measure(model, *memory, l, leaf);
        const DetailFigures hub = measure(model, *memory, l, QString::fromLatin1(hubName));
        const DetailFigures small = measure(model, *memory, l, leaf);
        std::printf("package detail: %lld installed packages; %s with %d dependents and %d dependencies, leaf %s "
                    "with %d and %d; minimum and median of %d runs\n",
                    qint64(status.value().packages.size()), hubName, hub.dependents, hub.dependencies,
                    qPrintable(leaf), small.dependents, small.dependencies, repetitions);
        std::printf("  hub open (make, lay out, render)   min %6.2f ms  median %6.2f ms  (goal <= 16 ms: %.2f x goal)\n",
                    hub.open.minimum, hub.open.median, hub.open.median / 16.0);
        std::printf("  leaf open                          min %6.2f ms  median %6.2f ms  (hub %.2f x leaf; goal <= 3)\n",
                    small.open.minimum, small.open.median, hub.open.median / small.open.median);
        std::printf("  hub redraw after a status change   min %6.2f ms  median %6.2f ms  (goal <= 16 ms: %.2f x goal)\n",
                    hub.redraw.minimum, hub.redraw.median, hub.redraw.median / 16.0);
        std::printf("  leaf redraw after a status change  min %6.2f ms  median %6.2f ms  (hub %.2f x leaf; goal <= 3)\n",
                    small.redraw.minimum, small.redraw.median, hub.redraw.median / small.redraw.median);
    }

    // The selection sweeping down the list, against zelk-sim itself.
    AppModel model{ZelkKit::ZelkCLI(QStringLiteral(ZELK_SIM_PATH))};
    ContentView window(model, l);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    run(model.refresh(false));
    while (model.isLoading())
        spin(10);
    QStringList names;
    for (const ZelkKit::InstalledDetail &package : model.status()->packages)
        names.append(package.name);

    PackageDetailView::setRestDelay(150ms);
    const Sweep rested = sweep(window, model, names, sweepRows);
    window.setSelectedPackage(std::nullopt);
    // The same sweep with a load started for every row at once, unbounded;
    // the cache is cold again for the next rows.
    PackageDetailView::setRestDelay(0ms);
    InfoLoadQueue::of(model).setMaximumInFlight(1000000);
    const Sweep eager = sweep(window, model, names.mid(sweepRows), eagerRows);
    std::printf("selection moving down %d rows at %d rows/s, zelk info taking 200 ms:\n", sweepRows, rowsPerSecond);
    std::printf("  most zelk children alive at once   %3d  (goal <= 4)  %d info runs; last row loaded %.0f ms after "
                "the selection stopped\n",
                rested.mostAlive, rested.infoRuns, rested.lastLoaded);
    std::printf("  without the rest and the limit     %3d  over %d rows: %d info runs (%.1f x as many children at once)\n",
                eager.mostAlive, eagerRows, eager.infoRuns, double(eager.mostAlive) / qMax(1, rested.mostAlive));
    return 0;
}
