// The Installed list: which packages pass the filter, the switch and the
// search; the pills, the switch, the search bar and its clear button; the
// spinner and the empty state; and the window's selection across resets,
// filters and visits.

#include "AppModel.h"
#include "window/ContentView.h"
#include "widgets/FilterPill.h"
#include "widgets/FilterPills.h"
#include "installed/InstalledListModel.h"
#include "installed/InstalledListView.h"
#include "installed/InstalledRow.h"
#include "Localizer.h"
#include "window/PackageDetailPlaceholder.h"
#include "widgets/SearchBar.h"
#include "window/SidebarModel.h"
#include "widgets/SpringAnimation.h"
#include "widgets/SymbolButton.h"
#include "widgets/ToggleSwitch.h"

#include "GuiTestSupport.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReveZE;
using GuiTestSupport::FakeStore;
using GuiTestSupport::detail;
using ZelkKit::InstalledDetail;
using Filter = InstalledListView::Filter;

namespace {

// zelk's order, which is not alphabetical: the list must keep it.
QList<InstalledDetail> fixturePackages()
{
    return {
        detail(QStringLiteral("jq"), QStringLiteral("1.7.1")),
        detail(QStringLiteral("oniguruma"), QStringLiteral("6.9.9"), true),
        detail(QStringLiteral("curl"), QStringLiteral("8.5.0")),
        detail(QStringLiteral("libjq-dev"), QStringLiteral("1.7.1"), true, false),
        detail(QStringLiteral("bat"), QStringLiteral("0.24.0")),
        detail(QStringLiteral("zlib"), QStringLiteral("1.3.1"), true),
    };
}

QStringList names(const QList<InstalledDetail> &packages)
{
    QStringList result;
    for (const InstalledDetail &package : packages)
        result.append(package.name);
    return result;
}

QStringList rows(const InstalledListView *view)
{
    QStringList result;
    const InstalledListModel *model = view->listModel();
    for (int row = 0; row < model->rowCount(); ++row)
        result.append(model->index(row).data(InstalledListModel::NameRole).toString());
    return result;
}

// The model, the localizer and either the screen alone or the whole window.
struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    FakeStore *store = new FakeStore;
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(store);
    std::unique_ptr<Localizer> l = std::make_unique<Localizer>(
        AppLanguage::English, Localizer::Environment{&settings, QStringList{QStringLiteral("en-US")}});
    std::unique_ptr<ContentView> window;
    std::unique_ptr<InstalledListView> alone;

    explicit Fixture(QList<InstalledDetail> packages = fixturePackages())
    {
        store->installStatus = GuiTestSupport::statusOf(std::move(packages));
    }
    ~Fixture()
    {
        store->release();
        for (int i = 0; i < 1000 && model->isLoading(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        alone.reset();
        window.reset();
    }

    // The screen on its own, after a refresh.
    InstalledListView *screen()
    {
        if (!alone) {
            TestSupport::await(model->refresh(false));
            alone = std::make_unique<InstalledListView>(*model, *l, std::nullopt);
            alone->resize(460, 600);
            alone->show();
            if (!QTest::qWaitForWindowExposed(alone.get()))
                return nullptr;
        }
        return alone.get();
    }

    // The whole window (its first appearance refreshes).
    ContentView *view()
    {
        if (!window) {
            window = std::make_unique<ContentView>(*model, *l);
            window->show();
            if (!QTest::qWaitForWindowExposed(window.get()))
                return nullptr;
        }
        return window.get();
    }
    InstalledListView *windowList() const { return qobject_cast<InstalledListView *>(window->contentScreen()); }
};

void clickRow(InstalledListView *view, const QString &name, Qt::KeyboardModifiers modifiers = {})
{
    const int row = view->listModel()->rowOf(name);
    QVERIFY2(row >= 0, qPrintable(name));
    const QRect rect = view->list()->visualRect(view->listModel()->index(row));
    QTest::mouseClick(view->list()->viewport(), Qt::LeftButton, modifiers, rect.center());
}

void clickPill(InstalledListView *view, Filter filter)
{
    QTest::mouseClick(view->filterPills()->pill(int(allInstalledFilters().indexOf(filter))), Qt::LeftButton);
}

void clickSidebar(ContentView *view, SidebarItem item)
{
    const QRect rect = view->sidebar()->visualRect(view->sidebarModel()->indexOf(item));
    QTest::mouseClick(view->sidebar()->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestInstalledList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void visible_data()
    {
        QTest::addColumn<Filter>("filter");
        QTest::addColumn<bool>("hide");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        const auto list = [](std::initializer_list<const char *> items) {
            QStringList result;
            for (const char *item : items)
                result.append(QLatin1String(item));
            return result;
        };
        QTest::addRow("all, in zelk's order")
            << Filter::All << false << QString() << list({"jq", "oniguruma", "curl", "libjq-dev", "bat", "zlib"});
        QTest::addRow("packages") << Filter::Packages << false << QString() << list({"jq", "curl", "bat"});
        QTest::addRow("dependencies")
            << Filter::Dependencies << false << QString() << list({"oniguruma", "libjq-dev", "zlib"});
        QTest::addRow("hide dependencies with all") << Filter::All << true << QString() << list({"jq", "curl", "bat"});
        QTest::addRow("hide dependencies with dependencies leaves nothing")
            << Filter::Dependencies << true << QString() << QStringList();
        QTest::addRow("JQ, any case, anywhere in the name")
            << Filter::All << false << QStringLiteral("JQ") << list({"jq", "libjq-dev"});
        QTest::addRow("search within the kind") << Filter::Dependencies << false << QStringLiteral("jq")
                                                << list({"libjq-dev"});
        QTest::addRow("a version is not a name")
            << Filter::All << false << QStringLiteral("1.7") << QStringList();
        QTest::addRow("a single blank is searched as typed")
            << Filter::All << false << QStringLiteral(" ") << QStringList();
        QTest::addRow("blanks around a name are not trimmed")
            << Filter::All << false << QStringLiteral("jq ") << QStringList();
        QTest::addRow("the kind's text is not searched")
            << Filter::All << false << QStringLiteral("DEPENDENCY") << QStringList();
    }

    void visible()
    {
        QFETCH(Filter, filter);
        QFETCH(bool, hide);
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        const ZelkKit::InstallStatus status = GuiTestSupport::statusOf(fixturePackages());
        QCOMPARE(names(InstalledListView::visible(status, filter, hide, search)), expected);
    }

    void visibleWithoutStatusIsEmpty()
    {
        QVERIFY(InstalledListView::visible(std::nullopt, Filter::All, false, QString()).isEmpty());
    }

    // The list compares pre-folded names; that must agree with Qt's own
    // case-insensitive containment, beyond ASCII too.
    void foldedSearchAgreesWithCaseInsensitiveContainment_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("search");
        QTest::addRow("ascii") << QStringLiteral("LibJQ-Dev") << QStringLiteral("jq-d");
        QTest::addRow("latin-1 umlaut") << QStringLiteral("Äpfel") << QStringLiteral("äP");
        QTest::addRow("sharp s is not ss") << QStringLiteral("straße") << QStringLiteral("STRASSE");
        QTest::addRow("final sigma") << QStringLiteral("ΣΟΦΟΣ") << QStringLiteral("σοφος");
        QTest::addRow("dotted capital I") << QStringLiteral("İstanbul") << QStringLiteral("istanbul");
        QTest::addRow("title-case digraph") << QStringLiteral("ǅemal") << QStringLiteral("ǆ");
        QTest::addRow("cyrillic") << QStringLiteral("Ёжик") << QStringLiteral("ёЖ");
        QTest::addRow("outside the BMP") << QStringLiteral("𐐀𐐁x") << QStringLiteral("𐐨𐐩");
        QTest::addRow("kelvin sign") << QStringLiteral("\u212Aelvin") << QStringLiteral("k");
        QTest::addRow("no match") << QStringLiteral("ripgrep") << QStringLiteral("rg");
    }

    void foldedSearchAgreesWithCaseInsensitiveContainment()
    {
        QFETCH(QString, name);
        QFETCH(QString, search);
        const QStringList folded{InstalledListModel::folded(name)};
        const QList<InstalledDetail> packages{detail(name, QStringLiteral("1"))};
        const bool viaFolding =
            !InstalledListModel::visibleRows(packages, folded, Filter::All, false, search).isEmpty();
        QCOMPARE(viaFolding, name.contains(search, Qt::CaseInsensitive));
    }

    void dependenciesTurnTheSwitchOffAndDisableIt()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        QTest::mouseClick(view->hideDependenciesSwitch(), Qt::LeftButton);
        QVERIFY(view->hideDependencies());
        QCOMPARE(rows(view), (QStringList{QStringLiteral("jq"), QStringLiteral("curl"), QStringLiteral("bat")}));

        clickPill(view, Filter::Dependencies);
        QCOMPARE(view->filter(), Filter::Dependencies);
        QVERIFY(!view->hideDependencies());
        QVERIFY(!view->hideDependenciesSwitch()->isChecked());
        QVERIFY(!view->hideDependenciesSwitch()->isEnabled());
        QCOMPARE(rows(view),
                 (QStringList{QStringLiteral("oniguruma"), QStringLiteral("libjq-dev"), QStringLiteral("zlib")}));

        // A click on the disabled switch changes nothing.
        QTest::mouseClick(view->hideDependenciesSwitch(), Qt::LeftButton);
        QVERIFY(!view->hideDependencies());

        clickPill(view, Filter::All);
        QVERIFY(view->hideDependenciesSwitch()->isEnabled());
        QVERIFY(!view->hideDependencies());
        QCOMPARE(rows(view).size(), 6);
    }

    void pillsShowTheChosenFilter()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        FilterPills *pills = view->filterPills();
        QCOMPARE(pills->count(), 3);
        const QStringList labels{QStringLiteral("All"), QStringLiteral("Packages"), QStringLiteral("Dependencies")};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pills->pill(i)->text(), labels[i]);
            QCOMPARE(pills->pill(i)->accessibleName(), labels[i]);
        }
        QVERIFY(pills->pill(0)->isChecked());
        QCOMPARE(pills->pill(0)->textColour(), QColor(Qt::white));
        clickPill(view, Filter::Packages);
        QVERIFY(!pills->pill(0)->isChecked());
        QVERIFY(pills->pill(1)->isChecked());
        QCOMPARE(pills->pill(1)->textColour(), QColor(Qt::white));
        // Pressing the chosen pill again keeps it chosen.
        clickPill(view, Filter::Packages);
        QVERIFY(pills->pill(1)->isChecked());
        QCOMPARE(view->filter(), Filter::Packages);
    }

    void highlightSlidesWithTheSpring()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        FilterPills *pills = view->filterPills();
        const QRectF start = pills->highlightRect();
        QCOMPARE(start, QRectF(pills->pill(0)->geometry()));

        clickPill(view, Filter::Dependencies);
        QVariantAnimation *animation = pills->highlightAnimation();
        QCOMPARE(animation->state(), QAbstractAnimation::Running);
        const QRectF target = QRectF(pills->pill(2)->geometry());
        QCOMPARE(pills->targetRect(), target);
        animation->pause();

        // One shape on its way: between the two pills, moving only forward.
        qreal previous = start.left();
        const int duration = animation->duration();
        for (int step = 1; step < 10; ++step) {
            animation->setCurrentTime(duration * step / 10);
            const QRectF now = pills->highlightRect();
            QVERIFY(now.left() >= previous);
            QVERIFY(now.left() <= target.left());
            previous = now.left();
        }
        animation->setCurrentTime(duration);
        QCOMPARE(pills->highlightRect(), target);
    }

    void springOfDampingOne()
    {
        const qreal response = SpringAnimation::pillResponse;
        QCOMPARE(SpringAnimation::position(0, response), 0.0);
        // x(t) = 1 − (1 + ωt)·e^(−ωt) with ω = 2π / response.
        const qreal omega = 2 * M_PI / response;
        QVERIFY(qAbs(SpringAnimation::position(0.1, response) - (1 - (1 + omega * 0.1) * std::exp(-omega * 0.1)))
                < 1e-12);
        const int duration = SpringAnimation::durationMs(response);
        QVERIFY2(duration > 280 && duration < 1000, qPrintable(QString::number(duration)));
        const QEasingCurve curve = SpringAnimation::easing(response);
        QCOMPARE(curve.valueForProgress(0), 0.0);
        QCOMPARE(curve.valueForProgress(1), 1.0);
        qreal previous = 0;
        for (int i = 1; i < 100; ++i) {
            const qreal progress = i / 100.0;
            const qreal value = curve.valueForProgress(progress);
            QVERIFY(value > previous);
            QVERIFY(value < 1); // critically damped: no overshoot
            QVERIFY(qAbs(value - SpringAnimation::position(progress * duration / 1000.0, response)) < 2e-3);
            previous = value;
        }
    }

    void searchJQListsJqAndLibjqDev()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        QTest::keyClicks(view->searchBar()->field(), QStringLiteral("JQ"));
        QCOMPARE(view->search(), QStringLiteral("JQ"));
        QCOMPARE(rows(view), (QStringList{QStringLiteral("jq"), QStringLiteral("libjq-dev")}));
        QVERIFY(!view->showsEmptyState());
    }

    void singleBlankLeavesTheEmptyState()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        QTest::keyClicks(view->searchBar()->field(), QStringLiteral(" "));
        QCOMPARE(view->search(), QStringLiteral(" "));
        QCOMPARE(rows(view), QStringList());
        QVERIFY(view->showsEmptyState());
        QVERIFY(view->emptyState()->isVisible());
        QVERIFY(!view->spinnerOverlay()->isVisible());
        const QLabel *title = view->emptyState()->findChild<QLabel *>(QStringLiteral("nothingInstalledTitle"));
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Nothing installed"));
    }

    void headerCountIsTheTotal()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        const QString total = QStringLiteral("6 packages");
        QCOMPARE(view->countLabel()->text(), total);
        clickPill(view, Filter::Dependencies);
        QCOMPARE(view->countLabel()->text(), total);
        clickPill(view, Filter::All);
        QTest::mouseClick(view->hideDependenciesSwitch(), Qt::LeftButton);
        QCOMPARE(view->countLabel()->text(), total);
        QTest::keyClicks(view->searchBar()->field(), QStringLiteral("zzz"));
        QCOMPARE(view->countLabel()->text(), total);
        QCOMPARE(view->listModel()->rowCount(), 0);
    }

    void spinnerOnlyWhileLoadingWithNoPackagesKnown()
    {
        Fixture f(QList<InstalledDetail>{});
        f.store->hold();
        ContentView *window = f.view();
        QVERIFY(window);
        InstalledListView *view = f.windowList();
        // First load, no install status yet.
        QVERIFY(f.model->isLoading());
        QVERIFY(!f.model->status());
        QVERIFY(view->showsSpinner());
        QVERIFY(view->spinnerOverlay()->isVisible());
        QVERIFY(!view->emptyState()->isVisible());

        // A status with zero packages: the empty state.
        f.store->release();
        QTRY_VERIFY(!f.model->isLoading());
        QVERIFY(f.model->status().has_value());
        QVERIFY(!view->spinnerOverlay()->isVisible());
        QVERIFY(view->emptyState()->isVisible());

        // A later refresh of an empty installation shows the spinner again
        // (that refresh will bring packages).
        f.store->installStatus = GuiTestSupport::statusOf(fixturePackages());
        f.store->hold();
        window->refresh();
        QVERIFY(view->spinnerOverlay()->isVisible());
        QVERIFY(!view->emptyState()->isVisible());
        f.store->release();
        QTRY_VERIFY(!f.model->isLoading());
        QVERIFY(!view->spinnerOverlay()->isVisible());

        // With packages known, a refresh leaves the list uncovered.
        f.store->hold();
        window->refresh();
        QVERIFY(f.model->isLoading());
        QVERIFY(!view->spinnerOverlay()->isVisible());
        QVERIFY(!view->emptyState()->isVisible());
        QCOMPARE(view->listModel()->rowCount(), 6);
        f.store->release();
        QTRY_VERIFY(!f.model->isLoading());
    }

    void clearButtonOnlyWithText()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        SymbolButton *clear = view->searchBar()->clearButton();
        QVERIFY(!clear->isVisible());
        QTest::keyClicks(view->searchBar()->field(), QStringLiteral("cu"));
        QVERIFY(clear->isVisible());
        QCOMPARE(clear->accessibleName(), QStringLiteral("Cancel"));
        QCOMPARE(rows(view), QStringList{QStringLiteral("curl")});
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(view->search(), QString());
        QCOMPARE(view->searchBar()->field()->text(), QString());
        QVERIFY(!clear->isVisible());
        QCOMPARE(rows(view).size(), 6);
        // Deleting the text by hand hides it as well.
        QTest::keyClicks(view->searchBar()->field(), QStringLiteral("c"));
        QTest::keyClick(view->searchBar()->field(), Qt::Key_Backspace);
        QVERIFY(!clear->isVisible());
    }

    void ctrlFFocusesTheSearch()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        InstalledListView *view = f.windowList();
        window->sidebar()->setFocus();
        QVERIFY(!view->isSearchFocused());
        QTest::keyClick(window->sidebar(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(view->isSearchFocused());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("bat"));
        QCOMPARE(view->search(), QStringLiteral("bat"));
    }

    void selectedRowShowsItsDetailAndAWhiteVersion()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        InstalledListView *view = f.windowList();
        clickRow(view, QStringLiteral("curl"));
        QCOMPARE(window->selectedPackage(), std::optional(QStringLiteral("curl")));
        auto *detail = qobject_cast<PackageDetailPlaceholder *>(window->detailWidget());
        QVERIFY(detail);
        QCOMPARE(detail->packageName(), QStringLiteral("curl"));

        const InstalledListModel *model = view->listModel();
        for (int row = 0; row < model->rowCount(); ++row)
            QCOMPARE(model->index(row).data(InstalledListModel::IsSelectedRole).toBool(),
                     model->packageAt(row).name == QStringLiteral("curl"));
        const QColor selected = paintedVersion(view, *f.l, QStringLiteral("curl"));
        QVERIFY2(selected.red() >= 245 && selected.green() >= 245 && selected.blue() >= 245,
                 qPrintable(selected.name()));
        const QColor other = paintedVersion(view, *f.l, QStringLiteral("jq"));
        QVERIFY2(other.lightnessF() < 0.6, qPrintable(other.name()));
    }

    void userClearsTheSelection()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        InstalledListView *view = f.windowList();
        clickRow(view, QStringLiteral("jq"));
        QCOMPARE(window->selectedPackage(), std::optional(QStringLiteral("jq")));
        clickRow(view, QStringLiteral("jq"), Qt::ControlModifier);
        QCOMPARE(window->selectedPackage(), std::nullopt);
    }

    void selectionSurvivesResetsAndHiding_data()
    {
        QTest::addColumn<int>("change");
        QTest::addRow("a refresh brings a new install status") << 0;
        QTest::addRow("a filter hides the row") << 1;
        QTest::addRow("the switch hides the row") << 2;
        QTest::addRow("a search hides the row") << 3;
    }

    void selectionSurvivesResetsAndHiding()
    {
        QFETCH(int, change);
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        InstalledListView *view = f.windowList();
        QAbstractItemModelTester tester(view->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        clickRow(view, QStringLiteral("zlib"));
        const std::optional<QString> zlib = QStringLiteral("zlib");
        QCOMPARE(window->selectedPackage(), zlib);
        QSignalSpy edited(view, &InstalledListView::selectionEdited);

        switch (change) {
        case 0:
            window->refresh();
            QTRY_VERIFY(!f.model->isLoading());
            break;
        case 1:
            clickPill(view, Filter::Packages);
            QCOMPARE(view->listModel()->rowOf(QStringLiteral("zlib")), -1);
            QCOMPARE(window->selectedPackage(), zlib);
            clickPill(view, Filter::All);
            break;
        case 2:
            QTest::mouseClick(view->hideDependenciesSwitch(), Qt::LeftButton);
            QCOMPARE(view->listModel()->rowOf(QStringLiteral("zlib")), -1);
            QCOMPARE(window->selectedPackage(), zlib);
            QTest::mouseClick(view->hideDependenciesSwitch(), Qt::LeftButton);
            break;
        case 3:
            QTest::keyClicks(view->searchBar()->field(), QStringLiteral("jq"));
            QCOMPARE(window->selectedPackage(), zlib);
            QTest::mouseClick(view->searchBar()->clearButton(), Qt::LeftButton);
            break;
        }
        QCOMPARE(window->selectedPackage(), zlib);
        QCOMPARE(edited.count(), 0);
        QVERIFY(qobject_cast<PackageDetailPlaceholder *>(window->detailWidget()));
        // Back in view, the row shows selected again.
        const int row = view->listModel()->rowOf(QStringLiteral("zlib"));
        QVERIFY(row >= 0);
        QVERIFY(view->list()->selectionModel()->isSelected(view->listModel()->index(row)));
        QVERIFY(view->listModel()->isSelected(row));
    }

    void comingBackResetsTheScreenButKeepsTheSelection()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        InstalledListView *first = f.windowList();
        clickRow(first, QStringLiteral("jq"));
        QTest::keyClicks(first->searchBar()->field(), QStringLiteral("j"));
        clickPill(first, Filter::Packages);
        QTest::mouseClick(first->hideDependenciesSwitch(), Qt::LeftButton);
        QVERIFY(first->hideDependencies());

        clickSidebar(window, SidebarItem::Doctor);
        clickSidebar(window, SidebarItem::Installed);
        InstalledListView *again = f.windowList();
        QVERIFY(again);
        QVERIFY(again != first);
        QCOMPARE(again->search(), QString());
        QCOMPARE(again->searchBar()->field()->text(), QString());
        QCOMPARE(again->filter(), Filter::All);
        QVERIFY(again->filterPills()->pill(0)->isChecked());
        QVERIFY(!again->hideDependencies());
        QVERIFY(!again->hideDependenciesSwitch()->isChecked());
        QCOMPARE(again->selection(), std::optional(QStringLiteral("jq")));
        QCOMPARE(window->selectedPackage(), std::optional(QStringLiteral("jq")));
        const int row = again->listModel()->rowOf(QStringLiteral("jq"));
        QVERIFY(again->list()->selectionModel()->isSelected(again->listModel()->index(row)));
    }

    void rowsKeepZelksOrderAndNameThemselves()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        QCOMPARE(rows(view), names(fixturePackages()));
        const QModelIndex libjq = view->listModel()->index(view->listModel()->rowOf(QStringLiteral("libjq-dev")));
        QCOMPARE(libjq.data(Qt::AccessibleTextRole).toString(), QStringLiteral("libjq-dev, DEPENDENCY, v1.7.1"));
        QCOMPARE(view->list()->accessibleName(), QStringLiteral("Your packages"));
        QCOMPARE(view->navigationTitle(), QStringLiteral("Installed"));
    }

    void listModelPassesTheModelTester()
    {
        Fixture f;
        InstalledListView *view = f.screen();
        QVERIFY(view);
        QAbstractItemModelTester tester(view->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTest::keyClicks(view->searchBar()->field(), QStringLiteral("jq"));
        clickPill(view, Filter::Dependencies);
        view->setSelectedPackage(QStringLiteral("libjq-dev"));
        view->setSelectedPackage(std::nullopt);
        TestSupport::await(f.model->refresh(true));
        QTest::mouseClick(view->searchBar()->clearButton(), Qt::LeftButton);
        QCOMPARE(rows(view).size(), 3);
    }

private:
    // The colour of a row's version line as painted: of the pixels of that
    // line, the one farthest from the row's background.
    static QColor paintedVersion(InstalledListView *view, const Localizer &l, const QString &name)
    {
        const InstalledListModel *model = view->listModel();
        const int row = model->rowOf(name);
        const QRect rowRect = view->list()->visualRect(model->index(row));
        const QImage image = view->grab().toImage();
        const QPoint offset = view->list()->viewport()->mapTo(view, QPoint(0, 0));
        const InstalledRow painted(model->packageAt(row), model->isSelected(row), l);
        const InstalledRow::Geometry geometry = painted.geometry(QRectF(rowRect));
        const QRect line = geometry.version.toAlignedRect().translated(offset);
        const QRect background(geometry.background.toAlignedRect().translated(offset).topLeft() + QPoint(8, 2),
                               QSize(1, 1));
        const QColor ground = image.pixelColor(background.topLeft());
        QColor farthest = ground;
        int best = -1;
        for (int y = line.top(); y <= line.bottom(); ++y) {
            for (int x = line.left(); x <= line.right(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                const int distance = qAbs(pixel.red() - ground.red()) + qAbs(pixel.green() - ground.green())
                                     + qAbs(pixel.blue() - ground.blue());
                if (distance > best) {
                    best = distance;
                    farthest = pixel;
                }
            }
        }
        return farthest;
    }
};

REVEZE_GUI_TEST_MAIN(TestInstalledList)

#include "tst_installedlist.moc"
