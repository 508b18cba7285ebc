// Renders ReveZE's window in every screen and state of the table below, in
// English and Chinese, light and dark, to PNG files:
//
//     reveze-screenshots OUTPUT_DIRECTORY [NAME_FILTER]
//
// Each "world" is a fresh zelk-sim state seeded from the demo tree (and
// edited where the world needs it: no packages, a protocol that is too new)
// or no zelk at all; the window runs against it through AppModel exactly as
// the program does. Files are named <screen>-<en|zh>-<light|dark>.png.
//
// A new screen adds rows to its own table below (windowScreens(),
// installedScreens(), ...): a name, the world it needs and what to do with
// the window (choose a section, select a package, type a search) before the
// picture is taken. The picture is taken once the shown screens say they
// have loaded (NavigationScreen::isLoaded). Sheets and alerts open over the
// window are drawn into the picture where they would appear.
//
// A row may give the window another size than its default: the rows named
// "...-1024x600" show the window, and the sheet over it, on a small screen.

#include "AppModel.h"
#include "window/ContentView.h"
#include "discover/DiscoverListView.h"
#include "detail/PackageDetailView.h"
#include "widgets/FilterPills.h"
#include "installed/InstalledListView.h"
#include "config/ConfigView.h"
#include "window/LanguagePicker.h"
#include "Localizer.h"
#include "window/NavigationScreen.h"
#include "install/DangerousArgumentsDialog.h"
#include "install/DialogButton.h"
#include "install/InstallSheet.h"
#include "InstallRunner.h"
#include "widgets/TextStyles.h"

#include <ProcessRegistry.h>

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <qcoro/qcorosignal.h>
#include <qcoro/qcorotask.h>
#include <qcoro/qcorotimer.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace ReveZE;

namespace {

enum class World {
    Demo,     // the demo tree, refreshed
    Loading,  // the demo tree, pictured while the first refresh runs
    Empty,    // an installation without packages
    TooNew,   // a zelk that speaks protocol 2
    NoZelk,   // no zelk executable at all
    Healthy,      // the demo tree with nothing for the doctor to find
    DoctorFails,  // the demo tree whose doctor cannot read its own state
};

struct Screen {
    const char *name;
    World world;
    std::function<void(ContentView &, AppModel &)> prepare;
    QSize size = ContentView::defaultSize;
};

// A small laptop's screen: the window must still show everything.
constexpr QSize smallScreen{1024, 600};

InstalledListView *installedList(ContentView &window)
{
    return qobject_cast<InstalledListView *>(window.contentScreen());
}

QList<Screen> windowScreens()
{
    return {
        {"install-sheet", World::Demo,
         [](ContentView &w, AppModel &) {
             w.setSelectedPackage(QStringLiteral("jq"));
             w.install();
         }},
        {"error-alert", World::Demo,
         [](ContentView &, AppModel &model) {
             // What an unreadable answer of zelk looks like.
             model.setErrorMessage(QStringLiteral("Could not read `zelk` output: packages[3].sha256: missing key"));
         }},
        {"compatibility", World::TooNew, [](ContentView &, AppModel &) {}},
        {"no-zelk", World::NoZelk, [](ContentView &, AppModel &) {}},
        // Every section on a small screen, with a package in the detail.
        {"window-installed-1024x600", World::Demo,
         [](ContentView &w, AppModel &) { w.setSelectedPackage(QStringLiteral("curl")); }, smallScreen},
        {"window-upgrades-1024x600", World::Demo,
         [](ContentView &w, AppModel &) {
             w.setSelectedPackage(QStringLiteral("curl"));
             w.setSection(SidebarItem::Upgrades);
         },
         smallScreen},
        {"window-discover-1024x600", World::Demo,
         [](ContentView &w, AppModel &) {
             w.setSection(SidebarItem::Discover);
             w.setSelectedPackage(QStringLiteral("wget"));
         },
         smallScreen},
        {"window-doctor-1024x600", World::Demo,
         [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Doctor); }, smallScreen},
        {"window-config-1024x600", World::Demo,
         [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Config); }, smallScreen},
    };
}

QList<Screen> installedScreens()
{
    return {
        {"installed", World::Demo, [](ContentView &, AppModel &) {}},
        {"installed-selected", World::Demo,
         [](ContentView &w, AppModel &) { w.setSelectedPackage(QStringLiteral("jq")); }},
        {"installed-search", World::Demo,
         [](ContentView &w, AppModel &) { installedList(w)->setSearch(QStringLiteral("lib")); }},
        {"installed-dependencies", World::Demo,
         [](ContentView &w, AppModel &) { installedList(w)->setFilter(InstalledListView::Filter::Dependencies); }},
        {"installed-hide-dependencies", World::Demo,
         [](ContentView &w, AppModel &) { installedList(w)->setHideDependencies(true); }},
        {"installed-no-match", World::Demo,
         [](ContentView &w, AppModel &) { installedList(w)->setSearch(QStringLiteral(" ")); }},
        {"installed-loading", World::Loading, [](ContentView &, AppModel &) {}},
        {"installed-empty", World::Empty, [](ContentView &, AppModel &) {}},
    };
}

QList<Screen> detailScreens()
{
    auto select = [](const char *name) {
        return [name](ContentView &w, AppModel &) { w.setSelectedPackage(QString::fromLatin1(name)); };
    };
    return {
        // A package the user asked for: four dependencies, git needs it.
        {"detail-package", World::Demo, select("curl")},
        // A dependency many packages need, scrolled to its end: a long
        // Required by and the lock text.
        {"detail-dependency", World::Demo,
         [](ContentView &w, AppModel &) {
             w.setSelectedPackage(QStringLiteral("openssl"));
             if (auto *detail = qobject_cast<PackageDetailView *>(w.detailWidget())) {
                 QScrollBar *bar = detail->scrollArea()->verticalScrollBar();
                 QObject::connect(bar, &QScrollBar::rangeChanged, bar, [bar](int, int maximum) { bar->setValue(maximum); });
             }
         }},
        // A name zelk knows nothing about: the error under the name.
        {"detail-load-error", World::Demo, select("nosuch-legacy-tool")},
        // From the index, not installed: Latest, License, Homepage only.
        {"detail-not-installed", World::Demo, select("wget")},
    };
}

DiscoverListView *discoverList(ContentView &window)
{
    window.setSection(SidebarItem::Discover);
    return qobject_cast<DiscoverListView *>(window.contentScreen());
}

QList<Screen> discoverScreens()
{
    return {
        {"discover", World::Demo, [](ContentView &w, AppModel &) { discoverList(w); }},
        {"discover-selected", World::Demo,
         [](ContentView &w, AppModel &) {
             discoverList(w);
             w.setSelectedPackage(QStringLiteral("jq"));
         }},
        {"discover-search", World::Demo,
         [](ContentView &w, AppModel &) { discoverList(w)->setSearch(QStringLiteral("json")); }},
        {"discover-no-match", World::Demo,
         [](ContentView &w, AppModel &) { discoverList(w)->setSearch(QStringLiteral("zzzz")); }},
        {"discover-loading", World::Loading, [](ContentView &w, AppModel &) { discoverList(w); }},
    };
}

QList<Screen> upgradesScreens()
{
    return {
        {"upgrades", World::Demo, [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Upgrades); }},
        {"upgrades-none", World::Empty, [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Upgrades); }},
    };
}

QList<Screen> doctorScreens()
{
    return {
        {"doctor", World::Demo, [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Doctor); }},
        {"doctor-clean", World::Healthy, [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Doctor); }},
        {"doctor-failed", World::DoctorFails, [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Doctor); }},
    };
}

// The Configuration screen as it is between its appearance and the arrival
// of the data sources: the same screen with its on-show load held back.
class ConfigBeforeItsData : public ConfigView
{
public:
    using ConfigView::ConfigView;

protected:
    // Nothing is loaded, and the picture need not wait for it.
    void appeared() override { setLoaded(true); }
};

// The language the window speaks, read from its picker.
AppLanguage windowLanguage(ContentView &window)
{
    const QVariant data = window.languagePicker()->comboBox()->currentData();
    return data.isValid() ? AppLanguage(data.toInt()) : AppLanguage::English;
}

// Scratch space of the Configuration pictures: a localizer's settings, and
// one state per index refresh, so that no refresh finds another one's lock.
QTemporaryDir &configScratch()
{
    static QTemporaryDir dir;
    return dir;
}

QList<Screen> configScreens()
{
    return {
        {"config", World::Demo, [](ContentView &w, AppModel &) { w.setSection(SidebarItem::Config); }},
        {"config-loading", World::Demo,
         [](ContentView &w, AppModel &model) {
             w.setSection(SidebarItem::Config);
             static QSettings settings(configScratch().filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
             const AppLanguage language = windowLanguage(w);
             auto *l = new Localizer(language, {&settings, QStringList{rawValue(language)}}, &w);
             w.setScreenMaker([&model, l](SidebarItem, QWidget *parent) {
                 return new ConfigBeforeItsData(model, *l, parent);
             });
         }},
        {"config-refreshing", World::Demo,
         [](ContentView &w, AppModel &) {
             w.setSection(SidebarItem::Config);
             auto *screen = qobject_cast<ConfigView *>(w.contentScreen());
             if (!screen)
                 return;
             // Once the screen has its data, the index refresh starts; the
             // picture is taken while it runs (zelk-sim takes four ticks).
             QObject::connect(screen, &NavigationScreen::loadedChanged, screen, [screen] {
                 if (!screen->isLoaded() || screen->isRefreshingIndex())
                     return;
                 static int refreshes = 0;
                 const QByteArray state = qgetenv("ZELK_SIM_STATE");
                 qputenv("ZELK_SIM_STATE", QFile::encodeName(configScratch().filePath(
                                               QStringLiteral("refresh-%1").arg(++refreshes))));
                 screen->refreshIndex();
                 qputenv("ZELK_SIM_STATE", state);
             });
         }},
    };
}

QList<Screen> installScreens()
{
    return {};
}

// Every screen and state worth a picture.
const QList<Screen> &screens()
{
    static const QList<Screen> table = installedScreens() + detailScreens() + discoverScreens()
        + upgradesScreens() + doctorScreens() + configScreens() + installScreens() + windowScreens();
    return table;
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x1e, 0x1e, 0x20), base(0x25, 0x25, 0x28), text(0xec, 0xec, 0xee);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window.lighter(115));
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8a, 0x90));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x32, 0x32, 0x36));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x48, 0x48, 0x4c));
    p.setColor(QPalette::Midlight, QColor(0x3a, 0x3a, 0x3e));
    p.setColor(QPalette::Mid, QColor(0x3c, 0x3c, 0x40));
    p.setColor(QPalette::Dark, QColor(0x12, 0x12, 0x14));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x41, 0x9c, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xa0, 0x7c, 0xff));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(0x6c, 0x6c, 0x70));
    return p;
}

QPalette lightPalette()
{
    QPalette p = QApplication::style()->standardPalette();
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x7a, 0xff));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

// Seeds a zelk-sim state from the demo tree by running one query in it.
bool seed(const QString &state)
{
    QProcess sim;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZELK_SIM_STATE"), state);
    environment.insert(QStringLiteral("ZELK_SIM_DEMO"), QStringLiteral(ZELK_SIM_DEMO_DIR));
    sim.setProcessEnvironment(environment);
    sim.start(QStringLiteral(ZELK_SIM_PATH), {QStringLiteral("version"), QStringLiteral("--json")});
    return sim.waitForFinished(30000) && sim.exitCode() == 0;
}

bool editJson(const QString &path, const std::function<void(QJsonObject &)> &edit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    edit(object);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(QJsonDocument(object).toJson());
    return true;
}

// Prepares the zelk-sim state of a world and points the environment at it
// (the model's children inherit it when they start).
bool enterWorld(World world, const QString &root)
{
    if (world == World::NoZelk) {
        qputenv("REVEZE_ZELK", QFile::encodeName(root + QStringLiteral("/no-zelk-here")));
        return true;
    }
    const QString state = root + QStringLiteral("/state");
    if (!seed(state))
        return false;
    if (world == World::Empty
        && !editJson(state + QStringLiteral("/installed.json"), [](QJsonObject &o) { o[QStringLiteral("packages")] = QJsonArray(); }))
        return false;
    if (world == World::TooNew
        && !editJson(state + QStringLiteral("/config.json"), [](QJsonObject &o) { o[QStringLiteral("protocol")] = 2; }))
        return false;
    if (world == World::Healthy) {
        // Nothing for the doctor: no fixed findings, a fresh index, every
        // link on its current version.
        const bool edited =
            editJson(state + QStringLiteral("/doctor.json"),
                     [](QJsonObject &o) { o[QStringLiteral("findings")] = QJsonArray(); })
            && editJson(state + QStringLiteral("/index.json"),
                        [](QJsonObject &o) { o[QStringLiteral("refreshed_at")] = QDateTime::currentSecsSinceEpoch(); })
            && editJson(state + QStringLiteral("/installed.json"), [](QJsonObject &o) {
                   QJsonArray packages = o[QStringLiteral("packages")].toArray();
                   for (qsizetype i = 0; i < packages.size(); ++i) {
                       QJsonObject package = packages[i].toObject();
                       if (package[QStringLiteral("linked")].toBool())
                           package[QStringLiteral("linked_version")] = package[QStringLiteral("version")];
                       packages[i] = package;
                   }
                   o[QStringLiteral("packages")] = packages;
               });
        if (!edited)
            return false;
    }
    if (world == World::DoctorFails) {
        QFile doctor(state + QStringLiteral("/doctor.json"));
        if (!doctor.open(QIODevice::WriteOnly | QIODevice::Truncate) || doctor.write("{\"findings\": [") < 0)
            return false;
    }
    qputenv("REVEZE_ZELK", ZELK_SIM_PATH);
    qputenv("ZELK_SIM_STATE", QFile::encodeName(state));
    qputenv("ZELK_SIM_DEMO", ZELK_SIM_DEMO_DIR);
    return true;
}

QCoro::Task<> pause(int ms)
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(ms);
    co_await timer;
}

// Waits until the screens in the two columns say they have loaded, at most
// `limit` milliseconds (a screen that never settles is pictured as it is).
QCoro::Task<> settle(ContentView &window, int limit)
{
    QPointer<ContentView> guard(&window);
    for (int waited = 0; guard && waited < limit; waited += 20) {
        auto *content = guard->contentScreen();
        auto *detail = qobject_cast<NavigationScreen *>(guard->detailWidget());
        if ((!content || content->isLoaded()) && (!detail || detail->isLoaded()))
            co_return;
        co_await pause(20);
    }
}

// The window, with the sheet or alert open over it drawn where it would be.
QImage picture(ContentView &window)
{
    QImage image = window.grab().toImage();
    QPainter painter(&image);
    const int top = window.findChild<QToolBar *>() ? window.findChild<QToolBar *>()->height() : 0;
    for (QDialog *dialog : window.findChildren<QDialog *>()) {
        if (!dialog->isVisible())
            continue;
        dialog->adjustSize();
        const QImage over = dialog->grab().toImage();
        // Below the toolbar, unless the sheet is as tall as the window.
        const QPoint at((image.width() - over.width()) / 2, std::max(0, std::min(top, image.height() - over.height())));
        painter.fillRect(QRect(at + QPoint(2, 3), over.size()), QColor(0, 0, 0, 50));
        painter.drawImage(at, over);
        painter.setPen(QColor(0, 0, 0, 60));
        painter.drawRect(QRect(at, over.size()).adjusted(0, 0, -1, -1));
    }
    return image;
}

QCoro::Task<int> renderAll(QString output, QString filter)
{
    int written = 0;
    const World worlds[] = {World::Demo,   World::Loading, World::Empty,      World::TooNew,
                            World::NoZelk, World::Healthy, World::DoctorFails};
    for (World world : worlds) {
        QList<Screen> wanted;
        for (const Screen &screen : screens()) {
            if (screen.world == world && QString::fromLatin1(screen.name).contains(filter))
                wanted.append(screen);
        }
        if (wanted.isEmpty())
            continue;
        QTemporaryDir root;
        if (!enterWorld(world, root.path())) {
            std::fprintf(stderr, "reveze-screenshots: could not prepare the zelk-sim state\n");
            co_return -1;
        }
        for (const Screen &screen : std::as_const(wanted)) {
            for (const bool dark : {false, true}) {
                for (const AppLanguage language : allLanguages()) {
                    QApplication::setPalette(dark ? darkPalette() : lightPalette());
                    QSettings settings(root.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
                    Localizer l(language, {&settings, QStringList{rawValue(language)}});
                    auto model = std::make_unique<AppModel>();
                    auto window = std::make_unique<ContentView>(*model, l);
                    window->setAttribute(Qt::WA_DontShowOnScreen);
                    window->resize(screen.size);
                    window->show();
                    if (world != World::Loading && model->isLoading())
                        co_await qCoro(window.get(), &ContentView::firstRefreshFinished);
                    screen.prepare(*window, *model);
                    co_await pause(30);
                    co_await settle(*window, 10000);
                    if (InstalledListView *list = installedList(*window)) {
                        while (list->filterPills()->highlightAnimation()->state() == QAbstractAnimation::Running)
                            co_await pause(30);
                    }
                    const QString file = QStringLiteral("%1/%2-%3-%4.png")
                                             .arg(output, QLatin1String(screen.name),
                                                  language == AppLanguage::English ? QStringLiteral("en")
                                                                                   : QStringLiteral("zh"),
                                                  dark ? QStringLiteral("dark") : QStringLiteral("light"));
                    if (!picture(*window).save(file, "PNG")) {
                        std::fprintf(stderr, "reveze-screenshots: could not write %s\n", qPrintable(file));
                        co_return -1;
                    }
                    std::printf("%s\n", qPrintable(file));
                    ++written;
                    // The picture of the loading state is taken mid-refresh;
                    // the refresh ends before its model goes.
                    if (model->isLoading())
                        co_await qCoro(window.get(), &ContentView::firstRefreshFinished);
                    window.reset();
                    model.reset();
                }
            }
        }
    }
    co_return written;
}

// ---- The install sheet's pieces, on a small host of their own -------------
// The confirmation dialog over a host, and the footer buttons in every state.
// Files: install-<piece>-<en|zh>-<light|dark>.png.

struct InstallPiece {
    const char *name;
    std::function<std::unique_ptr<QWidget>(Localizer &)> make;
};

std::unique_ptr<QWidget> dialogOverHost(Localizer &l)
{
    auto host = std::make_unique<QWidget>();
    host->resize(560, 560);
    auto *layout = new QVBoxLayout(host.get());
    layout->setContentsMargins(20, 20, 20, 20);
    auto *title = new QLabel(l(L::installTitle), host.get());
    title->setFont(TextStyles::font(TextStyle::Headline));
    layout->addWidget(title);
    auto *field = new QLineEdit(QStringLiteral("jq"), host.get());
    layout->addWidget(field);
    auto *extra = new QLineEdit(QStringLiteral("--skip-ssl -F"), host.get());
    layout->addWidget(extra);
    layout->addStretch(1);
    auto *dialog = new DangerousArgumentsDialog(
        l,
        {ZelkKit::SafetyWarning(QStringLiteral("--skip-ssl"), ZelkKit::SafetyWarning::Reason::InsecureTransport),
         ZelkKit::SafetyWarning(QStringLiteral("--force"), ZelkKit::SafetyWarning::Reason::UnsupportedOS)},
        [] {}, [] {}, host.get());
    dialog->setFadeDuration(0);
    return host;
}

std::unique_ptr<QWidget> dialogButtons(Localizer &l)
{
    auto host = std::make_unique<QWidget>();
    auto *column = new QVBoxLayout(host.get());
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(14);
    auto row = [&](bool enabled) {
        auto *line = new QHBoxLayout;
        line->setSpacing(10);
        const std::pair<L, L> buttons[] = {{L::cancel, L::shortcutCancel}, {L::installAction, L::shortcutConfirm}};
        for (const auto &[title, hint] : buttons) {
            auto *button = new DialogButton(l(title), l(hint),
                                            title == L::cancel ? DialogButton::Tone::Cancel : DialogButton::Tone::Confirm,
                                            host.get());
            button->setEnabled(enabled);
            line->addWidget(button);
        }
        auto *done = new DialogButton(l(L::done), std::nullopt, DialogButton::Tone::Cancel, host.get());
        done->setEnabled(enabled);
        line->addWidget(done);
        line->addStretch(1);
        column->addLayout(line);
    };
    row(true);
    row(false);
    return host;
}

QCoro::Task<int> renderInstallPieces(QString output, QString filter)
{
    const QList<InstallPiece> pieces = {
        {"install-dialog-over-host", dialogOverHost},
        {"install-dialog-buttons", dialogButtons},
    };
    int written = 0;
    QTemporaryDir root;
    for (const InstallPiece &piece : pieces) {
        if (!QString::fromLatin1(piece.name).contains(filter))
            continue;
        for (const bool dark : {false, true}) {
            for (const AppLanguage language : allLanguages()) {
                QApplication::setPalette(dark ? darkPalette() : lightPalette());
                QSettings settings(root.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
                Localizer l(language, {&settings, QStringList{rawValue(language)}});
                std::unique_ptr<QWidget> widget = piece.make(l);
                widget->setAttribute(Qt::WA_DontShowOnScreen);
                widget->show();
                // A dialog is presented over its host once the host is shown.
                for (DangerousArgumentsDialog *dialog : widget->findChildren<DangerousArgumentsDialog *>())
                    dialog->present();
                co_await pause(30);
                const QString file = QStringLiteral("%1/%2-%3-%4.png")
                                         .arg(output, QLatin1String(piece.name),
                                              language == AppLanguage::English ? QStringLiteral("en")
                                                                               : QStringLiteral("zh"),
                                              dark ? QStringLiteral("dark") : QStringLiteral("light"));
                if (!widget->grab().toImage().save(file, "PNG")) {
                    std::fprintf(stderr, "reveze-screenshots: could not write %s\n", qPrintable(file));
                    co_return -1;
                }
                std::printf("%s\n", qPrintable(file));
                ++written;
            }
        }
    }
    co_return written;
}
// ---- end of the install sheet's pieces -------------------------------------

// ---- The install sheet over the window, in every face and state -----------
// Files: install-sheet-<state>-<en|zh>-<light|dark>.png. Each state opens the
// sheet through the window, drives it as a user would (typing, starting a
// run against zelk-sim) and waits for the state before the picture.

QCoro::Task<> waitUntil(std::function<bool()> done, int limitMs)
{
    for (int waited = 0; !done() && waited < limitMs; waited += 20)
        co_await pause(20);
}

void typeInto(QLineEdit *field, const QString &text)
{
    field->setText(text);
    Q_EMIT field->textEdited(text);
}

struct SheetState {
    const char *name;
    QString packageName;
    ZelkKit::ZelkOperation operation;
    QByteArray pace;    // ZELK_SIM_DELAY_MS for a run of this state
    QByteArray chunks;  // ZELK_SIM_DOWNLOAD_CHUNKS
    QCoro::Task<> (*prepare)(InstallSheet &);
    QSize size = ContentView::defaultSize;
};

QCoro::Task<> sheetForm(InstallSheet &sheet)
{
    sheet.timeField(0)->setText(QStringLiteral("5min"));
    Q_EMIT sheet.timeField(0)->textEdited(QStringLiteral("5min"));
    co_return;
}

QCoro::Task<> sheetBadName(InstallSheet &sheet)
{
    typeInto(sheet.nameField(), QStringLiteral("jq, café -x"));
    co_return;
}

QCoro::Task<> sheetDangerLine(InstallSheet &sheet)
{
    sheet.extraField()->setPlainText(QStringLiteral("--proxy http://127.0.0.1:8080 --skip-ssl\n-F"));
    co_return;
}

QCoro::Task<> sheetBadNameAndDanger(InstallSheet &sheet)
{
    typeInto(sheet.nameField(), QStringLiteral("jq, café -x"));
    sheet.extraField()->setPlainText(QStringLiteral("--proxy http://127.0.0.1:8080 --skip-ssl\n-F"));
    co_return;
}

QCoro::Task<> sheetDialog(InstallSheet &sheet)
{
    sheet.extraField()->setPlainText(QStringLiteral("--skip-ssl -F"));
    sheet.start();
    co_await pause(400);
}

QCoro::Task<> sheetRunningBar(InstallSheet &sheet)
{
    sheet.start();
    InstallRunner *runner = sheet.runner();
    co_await waitUntil([runner] { return runner->percent().value_or(0) >= 40 || runner->finished(); }, 30000);
}

QCoro::Task<> sheetRunningSpinner(InstallSheet &sheet)
{
    sheet.start();
    co_await pause(300);
}

QCoro::Task<> sheetToTheEnd(InstallSheet &sheet)
{
    sheet.start();
    InstallRunner *runner = sheet.runner();
    co_await waitUntil([runner] { return runner->finished(); }, 60000);
    co_await pause(50);
}

QCoro::Task<int> renderInstallSheetStates(QString output, QString filter)
{
    using ZelkKit::ZelkOperation;
    const QList<SheetState> states = {
        {"install-sheet-form", QStringLiteral("jq"), ZelkOperation::Upgrade, "20", "8", sheetForm},
        {"install-sheet-bad-name", QString(), ZelkOperation::Install, "20", "8", sheetBadName},
        {"install-sheet-danger-line", QStringLiteral("jq"), ZelkOperation::Install, "20", "8", sheetDangerLine},
        {"install-sheet-dialog", QStringLiteral("jq"), ZelkOperation::Install, "20", "8", sheetDialog},
        {"install-sheet-running-bar", QStringLiteral("jq"), ZelkOperation::Reinstall, "20", "400", sheetRunningBar},
        {"install-sheet-running-spinner", QStringLiteral("jq"), ZelkOperation::Reinstall, "5000", "8",
         sheetRunningSpinner},
        {"install-sheet-finished", QStringLiteral("jq"), ZelkOperation::Reinstall, "20", "8", sheetToTheEnd},
        {"install-sheet-failed-retry", QStringLiteral("tidewatch"), ZelkOperation::Install, "20", "8", sheetToTheEnd},
        {"install-sheet-failed", QStringLiteral("atlas-maps"), ZelkOperation::Install, "20", "8", sheetToTheEnd},
        // On a small screen: the form with its hint and danger lines, and the
        // tallest progress face (a failure with its advice and the log).
        {"install-sheet-form-1024x600", QString(), ZelkOperation::Install, "20", "8", sheetBadNameAndDanger,
         smallScreen},
        {"install-sheet-failed-retry-1024x600", QStringLiteral("tidewatch"), ZelkOperation::Install, "20", "8",
         sheetToTheEnd, smallScreen},
    };
    int written = 0;
    for (const SheetState &state : states) {
        if (!QString::fromLatin1(state.name).contains(filter))
            continue;
        QTemporaryDir root;
        if (!enterWorld(World::Demo, root.path())) {
            std::fprintf(stderr, "reveze-screenshots: could not prepare the zelk-sim state\n");
            co_return -1;
        }
        qputenv("ZELK_SIM_DELAY_MS", state.pace);
        qputenv("ZELK_SIM_DOWNLOAD_CHUNKS", state.chunks);
        for (const bool dark : {false, true}) {
            for (const AppLanguage language : allLanguages()) {
                QApplication::setPalette(dark ? darkPalette() : lightPalette());
                QSettings settings(root.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
                Localizer l(language, {&settings, QStringList{rawValue(language)}});
                auto model = std::make_unique<AppModel>();
                auto window = std::make_unique<ContentView>(*model, l);
                window->setAttribute(Qt::WA_DontShowOnScreen);
                window->resize(state.size);
                window->show();
                if (model->isLoading())
                    co_await qCoro(window.get(), &ContentView::firstRefreshFinished);
                window->openInstallSheet(state.packageName, state.operation, false);
                QPointer<InstallSheet> sheet = qobject_cast<InstallSheet *>(window->installSheet());
                if (!sheet) {
                    std::fprintf(stderr, "reveze-screenshots: the install sheet did not open\n");
                    co_return -1;
                }
                co_await state.prepare(*sheet);
                co_await pause(60);
                const QString file = QStringLiteral("%1/%2-%3-%4.png")
                                         .arg(output, QLatin1String(state.name),
                                              language == AppLanguage::English ? QStringLiteral("en")
                                                                               : QStringLiteral("zh"),
                                              dark ? QStringLiteral("dark") : QStringLiteral("light"));
                if (!picture(*window).save(file, "PNG")) {
                    std::fprintf(stderr, "reveze-screenshots: could not write %s\n", qPrintable(file));
                    co_return -1;
                }
                std::printf("%s\n", qPrintable(file));
                ++written;
                // A run still under way ends, and the refresh after it,
                // before the window and the model go.
                if (sheet && sheet->runner()->isRunning())
                    sheet->runner()->cancel();
                AppModel *current = model.get();
                co_await waitUntil([current] {
                    return !current->isLoading() && ZelkKit::ProcessRegistry::instance().liveCount() == 0;
                }, 30000);
                window.reset();
                model.reset();
            }
        }
        qunsetenv("ZELK_SIM_DELAY_MS");
        qunsetenv("ZELK_SIM_DOWNLOAD_CHUNKS");
    }
    co_return written;
}
// ---- end of the install sheet over the window -------------------------------

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ReveZE"));
    QCoreApplication::setOrganizationName(QStringLiteral("ReveZE"));
    QCoreApplication::setApplicationVersion(QStringLiteral(REVEZE_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Windows come and go here; the run ends when every picture is taken.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::fprintf(stderr, "usage: reveze-screenshots OUTPUT_DIRECTORY [NAME_FILTER]\n");
        return 2;
    }
    const QString output = QDir(arguments.at(1)).absolutePath();
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "reveze-screenshots: cannot create %s\n", qPrintable(output));
        return 1;
    }
    const QString filter = arguments.value(2);
    int result = 1;
    auto run = [&]() -> QCoro::Task<> {
        const int written = co_await renderAll(output, filter);
        const int pieces = written < 0 ? -1 : co_await renderInstallPieces(output, filter);
        const int sheets = pieces < 0 ? -1 : co_await renderInstallSheetStates(output, filter);
        result = written >= 0 && pieces >= 0 && sheets >= 0 && written + pieces + sheets > 0 ? 0 : 1;
        QCoreApplication::quit();
    };
    QTimer::singleShot(0, &app, [&] { [[maybe_unused]] QCoro::Task<> task = run(); });
    app.exec();
    return result;
}
