// How fast the Installed list follows the user, with 10,000 installed
// packages (generated here deterministically, half of them dependencies):
//
// - a keystroke in the search field, from the key event to the repainted
//   list (text edited, rows recomputed, model reset, selection restored,
//   viewport painted): median and worst of 50 keystrokes, beside a bare
//   linear case-insensitive containment scan of the same names for the same
//   texts (goal: at most 4 ms per keystroke);
// - the first paint of the full list: the screen made, laid out and
//   painted with all 10,000 rows (goal: at most 16 ms; the very first screen
//   of the process, which also loads fonts and the icon, is shown apart),
//   and a new install status of 10,000 packages arriving in a shown list
//   until it is painted.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "AppModel.h"
#include "installed/InstalledListView.h"
#include "Localizer.h"
#include "widgets/SearchBar.h"

#include <CatalogStore.h>
#include <InstallStatus.h>
#include <ZelkCLI.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSettings>
#include <QTemporaryDir>

#include <qcoro/qcorotask.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

using namespace ReveZE;
using ZelkKit::InstalledDetail;

namespace {

constexpr int packageCount = 10000;
constexpr int keystrokes = 50;

class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint32_t below(std::uint32_t limit)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return std::uint32_t(m_state >> 33) % limit;
    }

private:
    std::uint64_t m_state;
};

const char *const parts[] = {"lib", "json", "core", "net", "ssl", "x", "py", "node", "data", "font",
                             "zip", "img", "tool", "cli", "dev", "gtk", "qt", "rs", "go", "audio"};

ZelkKit::InstallStatus generate(std::uint64_t seed)
{
    Random random(seed);
    ZelkKit::InstallStatus status;
    status.baseDir = QStringLiteral("/opt/rurirud");
    for (int i = 0; i < packageCount; ++i) {
        InstalledDetail package;
        QString name;
        const int pieces = 1 + int(random.below(3));
        for (int p = 0; p < pieces; ++p) {
            if (p)
                name += QLatin1Char('-');
            name += QLatin1String(parts[random.below(std::size(parts))]);
        }
        name += QString::number(i);
        package.name = name;
        package.version = QStringLiteral("%1.%2.%3").arg(random.below(10)).arg(random.below(30)).arg(random.below(100));
        package.versions = {package.version};
        package.kind = random.below(2) ? InstalledDetail::Kind::Dependency : InstalledDetail::Kind::Package;
        package.linked = random.below(4) != 0;
        package.path = QStringLiteral("/opt/rurirud/pkgs/") + name;
        status.packages.append(package);
    }
    return status;
}

// Answers the status query from memory; the other queries of a refresh
// answer with nothing.
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
    QCoro::Task<ZelkKit::Result<ZelkKit::InstallStatus>> status() override { co_return next; }
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

// Runs a refresh whose queries all answer at once.
void refresh(AppModel &model)
{
    bool done = false;
    auto run = [&]() -> QCoro::Task<> {
        co_await model.refresh(true);
        done = true;
    };
    [[maybe_unused]] QCoro::Task<> task = run();
    while (!done)
        QCoreApplication::processEvents();
}

// Watches for the end of a paint of the list's viewport.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

double milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Figures {
    double median;
    double worst;
};

Figures figures(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.last()};
}

void key(QWidget *target, Qt::Key code, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    Localizer l(AppLanguage::English, {&settings, QStringList{QStringLiteral("en")}});
    auto *store = new MemoryStore;
    store->next = generate(1);
    AppModel model(store);
    refresh(model);
    const QList<InstalledDetail> &packages = model.status()->packages;

    // First paint of the full list, on a fresh screen each time.
    QList<double> firstPaint;
    for (int run = 0; run < 20; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto view = std::make_unique<InstalledListView>(model, l, std::nullopt);
        view->resize(460, 700);
        PaintWatch watch;
        view->list()->viewport()->installEventFilter(&watch);
        view->show();
        while (!watch.painted)
            QCoreApplication::processEvents();
        firstPaint.append(milliseconds(timer));
        view->list()->viewport()->removeEventFilter(&watch);
    }

    InstalledListView view(model, l, std::optional(packages[packageCount / 2].name));
    view.resize(460, 700);
    view.show();
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();

    // A new install status arriving in the shown list, until it is painted.
    QList<double> newStatus;
    for (int run = 0; run < 10; ++run) {
        store->next = generate(2 + run);
        PaintWatch watch;
        view.list()->viewport()->installEventFilter(&watch);
        QElapsedTimer timer;
        timer.start();
        refresh(model);
        while (!watch.painted)
            QCoreApplication::processEvents();
        newStatus.append(milliseconds(timer));
        view.list()->viewport()->removeEventFilter(&watch);
    }

    // Keystrokes: words typed and taken back, one key at a time.
    QLineEdit *field = view.searchBar()->field();
    field->setFocus();
    const char *const words[] = {"lib", "json-core", "x9", "net-ssl", "audio", "qt-rs1", "zzz", "dev"};
    QList<double> perKey;
    QList<double> bareScan;
    QStringList names;
    for (const InstalledDetail &package : model.status()->packages)
        names.append(package.name);
    int pressed = 0;
    volatile qsizetype sink = 0;
    for (int w = 0; pressed < keystrokes; w = (w + 1) % int(std::size(words))) {
        const QString word = QLatin1String(words[w]);
        QList<std::pair<Qt::Key, QString>> sequence;
        for (QChar c : word)
            sequence.append({Qt::Key(c.toUpper().unicode()), QString(c)});
        for (qsizetype i = 0; i < word.size(); ++i)
            sequence.append({Qt::Key_Backspace, QString()});
        for (const auto &[code, text] : sequence) {
            if (pressed == keystrokes)
                break;
            QElapsedTimer timer;
            timer.start();
            key(field, code, text);
            view.list()->viewport()->repaint();
            perKey.append(milliseconds(timer));
            ++pressed;

            const QString search = field->text();
            QElapsedTimer scan;
            scan.start();
            qsizetype matches = 0;
            for (const QString &name : std::as_const(names))
                matches += name.contains(search, Qt::CaseInsensitive) ? 1 : 0;
            bareScan.append(milliseconds(scan));
            sink = sink + matches;
        }
    }
    if (view.search() != field->text()) {
        std::fprintf(stderr, "bench_installed_list: the screen did not follow the field\n");
        return 1;
    }

    const Figures key = figures(perKey);
    const Figures scan = figures(bareScan);
    // The first screen of the process also loads the symbol font, the icon
    // and the style's caches; it is reported on its own.
    const double cold = firstPaint.takeFirst();
    const Figures paint = figures(firstPaint);
    const Figures arrive = figures(newStatus);
    std::printf("installed list: %d packages, %d keystrokes\n", packageCount, keystrokes);
    std::printf("  keystroke to painted list  median %6.2f ms  worst %6.2f ms  (goal <= 4.00 ms; worst %.2f x goal)\n",
                key.median, key.worst, key.worst / 4.0);
    std::printf("  bare containment scan      median %6.2f ms  worst %6.2f ms  (keystroke median %.1f x scan)\n",
                scan.median, scan.worst, key.median / scan.median);
    std::printf("  first paint of the list    median %6.2f ms  worst %6.2f ms  (goal <= 16.00 ms; worst %.2f x goal)\n",
                paint.median, paint.worst, paint.worst / 16.0);
    std::printf("  the same, first in process        %6.2f ms  (fonts, icon and style loaded on first use)\n", cold);
    std::printf("  new status to painted list median %6.2f ms  worst %6.2f ms\n", arrive.median, arrive.worst);
    return 0;
}
