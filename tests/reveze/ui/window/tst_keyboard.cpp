// ReveZE without a mouse: the real application (ReveZEApp, its model finding
// zelk-sim on a fresh copy of the demo tree) driven only by key presses sent
// to the widget that has the focus. A whole install from Ctrl+I to the
// sheet's closing; every section from the sidebar and back; a package's
// detail chosen with the arrow keys, its link and its Copy button pressed
// from the keyboard; Ctrl+F; and Tab leading through every part of the
// window and back to where it started in every section.

#include "AppModel.h"
#include "InstallRunner.h"
#include "Localizer.h"
#include "config/ConfigView.h"
#include "detail/PackageDetailView.h"
#include "discover/DiscoverListModel.h"
#include "discover/DiscoverListView.h"
#include "doctor/DoctorView.h"
#include "install/DialogButton.h"
#include "install/InstallSheet.h"
#include "install/SegmentedControl.h"
#include "installed/InstalledListModel.h"
#include "installed/InstalledListView.h"
#include "upgrades/UpgradesView.h"
#include "widgets/CharWrappingText.h"
#include "widgets/SearchBar.h"
#include "widgets/ToggleSwitch.h"
#include "window/ContentView.h"
#include "window/LanguagePicker.h"
#include "window/NavigationScreen.h"
#include "window/ReveZEApp.h"

#include "GuiTestSupport.h"
#include "SimApp.h"

#include <ProcessRegistry.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QHash>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <functional>
#include <memory>

using namespace ReveZE;

namespace {

constexpr int runTimeout = GuiTestSupport::SimApp::runTimeout;

// The application, with the screens the tests look into.
struct App : GuiTestSupport::SimApp {
    InstalledListView *installed() const { return qobject_cast<InstalledListView *>(window().contentScreen()); }
    DiscoverListView *discover() const { return qobject_cast<DiscoverListView *>(window().contentScreen()); }
    PackageDetailView *detail() const { return qobject_cast<PackageDetailView *>(window().detailWidget()); }
    InstallSheet *sheet() const { return qobject_cast<InstallSheet *>(window().installSheet()); }
};

QWidget *focus()
{
    return QApplication::focusWidget();
}

// One key press to whatever has the focus; false when nothing has it.
[[nodiscard]] bool press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *target = focus();
    if (!target)
        return false;
    QTest::keyClick(target, key, modifiers);
    return true;
}

[[nodiscard]] bool type(const QString &text)
{
    QWidget *target = focus();
    if (!target)
        return false;
    QTest::keyClicks(target, text);
    return true;
}

// Presses Tab (or Shift+Tab) until `done` holds, at most `limit` times.
[[nodiscard]] bool tabUntil(const std::function<bool()> &done, bool backwards = false, int limit = 40)
{
    for (int i = 0; i < limit && !done(); ++i) {
        if (!press(backwards ? Qt::Key_Backtab : Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier))
            return false;
    }
    return done();
}

bool isIn(const QWidget *area, const QWidget *widget)
{
    return area && widget && (area == widget || area->isAncestorOf(widget));
}

QString describe(const QWidget *widget)
{
    if (!widget)
        return QStringLiteral("(nothing)");
    return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + widget->objectName();
}

// Records every address ReveZE asks the desktop to open, so none is opened.
struct UrlRecorder : QObject {
    Q_OBJECT
public:
    UrlRecorder()
    {
        for (const char *scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~UrlRecorder() override
    {
        for (const char *scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The application's language setting goes to a place of the tests' own.
        QStandardPaths::setTestModeEnabled(true);
    }

    void aWholeInstallByKeyboard_data()
    {
        QTest::addColumn<bool>("closeWithDone");
        QTest::addRow("Escape closes the sheet") << false;
        QTest::addRow("Space on Done closes the sheet") << true;
    }

    void aWholeInstallByKeyboard()
    {
        QFETCH(bool, closeWithDone);
        App a;
        QVERIFY(a.show());
        QVERIFY2(isIn(&a.window(), focus()), qPrintable(describe(focus())));

        // Ctrl+I opens the sheet with the focus in its empty name field.
        QVERIFY(press(Qt::Key_I, Qt::ControlModifier));
        QTRY_VERIFY(a.sheet());
        InstallSheet *sheet = a.sheet();
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        QTRY_COMPARE(focus(), sheet->nameField());
        QVERIFY(sheet->packageName().isEmpty());
        QVERIFY(type(QStringLiteral("shellcheck")));
        QCOMPARE(sheet->packageName(), QStringLiteral("shellcheck"));

        // The form in its reading order; the arrows choose an operation and
        // Space turns a switch on. (The remove-old switch is only for upgrades
        // and is passed over while it is off.)
        QVERIFY(press(Qt::Key_Tab));
        QCOMPARE(focus(), sheet->operationControl()->segment(0));
        QVERIFY(press(Qt::Key_Right));
        QCOMPARE(sheet->operation(), ZelkKit::ZelkOperation::Upgrade);
        QVERIFY(press(Qt::Key_Left));
        QCOMPARE(sheet->operation(), ZelkKit::ZelkOperation::Install);
        QCOMPARE(focus(), sheet->operationControl()->segment(0));
        const QList<QWidget *> form = {static_cast<QWidget *>(sheet->resumeSwitch()), sheet->timeField(0), sheet->timeField(1),
                                       sheet->timeField(2), sheet->extraField(), sheet->cancelButton(),
                                       sheet->installButton()};
        for (QWidget *expected : form) {
            QVERIFY(press(Qt::Key_Tab));
            QVERIFY2(focus() == expected, qPrintable(describe(focus()) + QStringLiteral(" instead of ") + describe(expected)));
            if (expected == sheet->resumeSwitch()) {
                QVERIFY(press(Qt::Key_Space));
                QVERIFY(sheet->resumeSwitch()->isChecked());
                QVERIFY(sheet->form().resume);
            }
        }
        QCOMPARE(sheet->face(), InstallSheet::Face::Form);

        // Return starts the run; the sheet shows it to its end.
        QVERIFY(press(Qt::Key_Return));
        QTRY_VERIFY_WITH_TIMEOUT(sheet->runner()->finished(), runTimeout);
        QCOMPARE(sheet->face(), InstallSheet::Face::Progress);
        QVERIFY2(!sheet->runner()->failure(), qPrintable(sheet->runner()->failure().value_or(QString())));
        QCOMPARE(sheet->installedLabel()->text(), QStringLiteral("shellcheck is installed"));
        QVERIFY(sheet->runner()->log().texts().first().contains(QStringLiteral("--continue")));
        // The keyboard is on Done once the run has ended.
        QTRY_COMPARE(focus(), static_cast<QWidget *>(sheet->doneButton()));

        if (closeWithDone) {
            QVERIFY2(tabUntil([&] { return focus() == sheet->doneButton(); }), qPrintable(describe(focus())));
            QVERIFY(press(Qt::Key_Space));
        } else {
            QVERIFY(press(Qt::Key_Escape));
        }
        QTRY_VERIFY(!a.window().showingInstall());
        QTRY_VERIFY2(isIn(&a.window(), focus()), qPrintable(describe(focus())));

        // zelk installed it, and the window's refresh after the run lists it.
        QTRY_VERIFY_WITH_TIMEOUT(!a.model().isLoading() && a.installed()
                                     && a.installed()->listModel()->rowOf(QStringLiteral("shellcheck")) >= 0,
                                 runTimeout);
    }

    void everySectionAndADetailByKeyboard()
    {
        App a;
        QVERIFY(a.show());
        ContentView &window = a.window();
        QListView *sidebar = window.sidebar();
        QVERIFY(tabUntil([&] { return focus() == sidebar; }));
        QCOMPARE(window.section(), std::optional(SidebarItem::Installed));

        struct Step {
            SidebarItem section;
            std::function<bool(QWidget *)> shows;
        };
        const Step steps[] = {
            {SidebarItem::Upgrades, [](QWidget *w) { return qobject_cast<UpgradesView *>(w) != nullptr; }},
            {SidebarItem::Discover, [](QWidget *w) { return qobject_cast<DiscoverListView *>(w) != nullptr; }},
            {SidebarItem::Doctor, [](QWidget *w) { return qobject_cast<DoctorView *>(w) != nullptr; }},
            {SidebarItem::Config, [](QWidget *w) { return qobject_cast<ConfigView *>(w) != nullptr; }},
        };
        for (const Step &step : steps) {
            // Down in the sidebar chooses the next section at once.
            QVERIFY(press(Qt::Key_Down));
            QCOMPARE(window.section(), std::optional(step.section));
            QVERIFY(step.shows(window.contentScreen()));
            QCOMPARE(window.windowTitle(), window.contentScreen()->navigationTitle());
            QTRY_VERIFY(a.settled());

            // Tab leads past the language picker into the screen (or its
            // search field in the toolbar), and Shift+Tab back.
            QVERIFY(press(Qt::Key_Tab));
            QCOMPARE(focus(), window.languagePicker()->comboBox());
            QVERIFY(press(Qt::Key_Tab));
            QVERIFY2(isIn(window.contentScreen(), focus()) || isIn(window.screenToolbarSlot(), focus()),
                     qPrintable(describe(focus())));
            QVERIFY(tabUntil([&] { return focus() == sidebar; }, true, 2));
        }
        // Home goes back to the first section.
        QVERIFY(press(Qt::Key_Home));
        QCOMPARE(window.section(), std::optional(SidebarItem::Installed));
        QVERIFY(a.installed());
        QTRY_VERIFY(a.settled());

        // Into the Installed list: the arrows choose a package for the window.
        InstalledListView *installed = a.installed();
        QVERIFY(tabUntil([&] { return focus() == installed->list(); }));
        QVERIFY(press(Qt::Key_Down));
        QVERIFY(press(Qt::Key_Down));
        const int row = installed->list()->currentIndex().row();
        QVERIFY(row >= 0);
        const QString chosen = installed->listModel()->packageAt(row).name;
        QCOMPARE(window.selectedPackage(), std::optional(chosen));
        QVERIFY(a.detail());
        QCOMPARE(a.detail()->packageName(), chosen);
        QCOMPARE(window.windowTitle(), chosen);
        // The next one replaces the detail.
        QVERIFY(press(Qt::Key_Down));
        const QString next = installed->listModel()->packageAt(row + 1).name;
        QCOMPARE(window.selectedPackage(), std::optional(next));
        QCOMPARE(a.detail()->packageName(), next);
        QTRY_VERIFY(a.settled());

        // Tab reaches the detail: its homepage link opens on Return, and its
        // Copy button copies the uninstall command on Space.
        // Every zelk child has ended first (the detail left behind may still
        // have had its info on the way).
        QTRY_VERIFY_WITH_TIMEOUT(ZelkKit::ProcessRegistry::instance().liveCount() == 0 && a.settled(), runTimeout);
        PackageDetailView *detail = a.detail();
        CharWrappingText *homepage = detail->rowValue(DetailRow::Homepage);
        QVERIFY(homepage && homepage->link());
        UrlRecorder urls;
        QVERIFY2(tabUntil([&] {
                     homepage = a.detail()->rowValue(DetailRow::Homepage);
                     return focus() == homepage;
                 }),
                 qPrintable(describe(focus()) + QStringLiteral(", alert ")
                            + (window.alert() ? QStringLiteral("shown: ") + a.model().errorMessage().value_or(QString())
                                              : QStringLiteral("none"))
                            + QStringLiteral(", active ") + QString::number(window.isActiveWindow())));
        detail = a.detail();
        QVERIFY(press(Qt::Key_Return));
        QCOMPARE(urls.opened, QList<QUrl>{*homepage->link()});
        QVERIFY(press(Qt::Key_Tab));
        QCOMPARE(focus(), detail->copyButton());
        QGuiApplication::clipboard()->clear();
        QVERIFY(press(Qt::Key_Space));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("zelk uninstall ") + next);

        // Ctrl+F, from the detail, puts the focus into the list's search.
        QVERIFY(press(Qt::Key_F, Qt::ControlModifier));
        QCOMPARE(focus(), installed->searchBar()->field());

        // To Discover: the list there keeps the window's selection, and the
        // arrows go on from it.
        QVERIFY(tabUntil([&] { return focus() == sidebar; }, true));
        QVERIFY(press(Qt::Key_Down));
        QVERIFY(press(Qt::Key_Down));
        QCOMPARE(window.section(), std::optional(SidebarItem::Discover));
        DiscoverListView *discover = a.discover();
        QVERIFY(discover);
        QTRY_VERIFY(a.settled());
        QVERIFY(tabUntil([&] { return focus() == discover->list(); }));
        const int kept = discover->listModel()->rowOf(next);
        QVERIFY(kept >= 0);
        QCOMPARE(discover->list()->currentIndex().row(), kept);
        QVERIFY(press(Qt::Key_Down));
        const QString after = discover->listModel()->packageAt(kept + 1).name;
        QCOMPARE(window.selectedPackage(), std::optional(after));
        QCOMPARE(a.detail()->packageName(), after);

        // Ctrl+F here focuses Discover's search field; typing narrows the list.
        QVERIFY(press(Qt::Key_F, Qt::ControlModifier));
        QCOMPARE(focus(), discover->searchField());
        QVERIFY(type(QStringLiteral("json")));
        QCOMPARE(discover->search(), QStringLiteral("json"));

        // The Doctor section keeps the chosen package's detail on screen.
        QVERIFY(tabUntil([&] { return focus() == sidebar; }, true));
        QVERIFY(press(Qt::Key_Down));
        QCOMPARE(window.section(), std::optional(SidebarItem::Doctor));
        QCOMPARE(a.detail()->packageName(), after);
    }

    // From the sidebar, Tab visits the language picker, the screen, the
    // detail and the toolbar's two buttons, each stop once, and comes back:
    // no section holds the focus in a loop of its own.
    void tabGoesAroundTheWindowInEverySection_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<bool>("withPackage");
        for (SidebarItem item : allSidebarItems()) {
            QTest::addRow("%s", qPrintable(rawValue(item))) << int(item) << false;
            QTest::addRow("%s, a package chosen", qPrintable(rawValue(item))) << int(item) << true;
        }
    }

    void tabGoesAroundTheWindowInEverySection()
    {
        QFETCH(int, section);
        QFETCH(bool, withPackage);
        App a;
        QVERIFY(a.show());
        ContentView &window = a.window();
        // Chosen before the section: the section's screen is then made after
        // the detail, and must still come before it.
        if (withPackage)
            window.setSelectedPackage(QStringLiteral("jq"));
        window.setSection(SidebarItem(section));
        QTRY_VERIFY(a.settled());
        QListView *sidebar = window.sidebar();
        QVERIFY(tabUntil([&] { return focus() == sidebar; }));

        QList<QWidget *> visited;
        do {
            QVERIFY(press(Qt::Key_Tab));
            QVERIFY2(!visited.contains(focus()),
                     qPrintable(QStringLiteral("visited twice: ") + describe(focus())));
            visited.append(focus());
        } while (focus() != sidebar && visited.size() < 60);
        QCOMPARE(visited.last(), sidebar);

        // The parts, in their order: picker, screen, detail, toolbar.
        auto partOf = [&](QWidget *w) {
            if (isIn(window.languagePicker(), w))
                return 0;
            if (isIn(window.screenToolbarSlot(), w) || isIn(window.contentScreen(), w))
                return 1;
            if (isIn(window.detailWidget(), w))
                return 2;
            if (w == window.installButton() || w == window.refreshButton())
                return 3;
            return w == sidebar ? 4 : -1;
        };
        QList<int> parts;
        for (QWidget *w : visited) {
            const int part = partOf(w);
            QVERIFY2(part >= 0, qPrintable(describe(w)));
            QVERIFY2(parts.isEmpty() || parts.last() <= part, qPrintable(describe(w) + QStringLiteral(" out of order")));
            if (parts.isEmpty() || parts.last() != part)
                parts.append(part);
        }
        QVERIFY(parts.contains(1));
        QCOMPARE(parts.contains(2), withPackage);
        // Within the screen, the reading order: a field shown in a list comes
        // right after the list, the pills before the switch beside them, a
        // search field before the list it searches.
        QStringList screenStops;
        for (QWidget *w : visited) {
            if (partOf(w) == 1)
                screenStops.append(w->objectName());
        }
        const QHash<int, QStringList> expected = {
            {int(SidebarItem::Installed),
             {QStringLiteral("searchField"), QStringLiteral("filterPill_all"), QStringLiteral("hideDependenciesSwitch"),
              QStringLiteral("installedList")}},
            {int(SidebarItem::Upgrades), {QStringLiteral("upgradeAllButton"), QStringLiteral("upgradesList")}},
            {int(SidebarItem::Discover), {QStringLiteral("discoverSearchField"), QStringLiteral("discoverList")}},
            {int(SidebarItem::Doctor),
             {QStringLiteral("runCheckButton"), QStringLiteral("doctorList"), QStringLiteral("doctorDetailField")}},
        };
        if (expected.contains(section))
            QCOMPARE(screenStops, expected.value(section));
        else
            QVERIFY2(screenStops.size() > 3 && screenStops.last() == QStringLiteral("refreshIndexButton"),
                     qPrintable(screenStops.join(u' ')));
        QVERIFY(visited.contains(window.installButton()));
        QVERIFY(visited.contains(window.refreshButton()));
        // Shift+Tab goes the same way back.
        for (qsizetype i = visited.size() - 2; i >= 0; --i) {
            QVERIFY(press(Qt::Key_Backtab, Qt::ShiftModifier));
            QVERIFY2(focus() == visited.at(i), qPrintable(describe(focus()) + QStringLiteral(" instead of ") + describe(visited.at(i))));
        }

        // Space on the focused Refresh button refreshes.
        QVERIFY(tabUntil([&] { return focus() == window.refreshButton(); }));
        QSignalSpy refreshed(&a.model(), &AppModel::lastRefreshChanged);
        QVERIFY(press(Qt::Key_Space));
        QTRY_VERIFY_WITH_TIMEOUT(refreshed.count() > 0 && !a.model().isLoading(), runTimeout);
    }
};

REVEZE_GUI_TEST_MAIN(TestKeyboard)

#include "tst_keyboard.moc"
