// The Discover list: which packages a search lists (name, then description,
// case-insensitively as Qt compares, in zelk's order); the fold agreeing
// with that comparison, before and after it is ready; the rows, the
// spinner and the no-results placeholder; the search field in the toolbar;
// the window's selection; and refreshes that must not move the list.

#include "AppModel.h"
#include "Localizer.h"
#include "discover/CatalogFoldCache.h"
#include "discover/CatalogSearch.h"
#include "discover/DiscoverListModel.h"
#include "discover/DiscoverListView.h"
#include "discover/DiscoverRow.h"
#include "discover/DiscoverRowDelegate.h"
#include "window/ContentView.h"
#include "detail/PackageDetailView.h"
#include "window/SidebarModel.h"

#include "GuiTestSupport.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReveZE;
using GuiTestSupport::FakeStore;
using ZelkKit::CatalogPackage;

namespace {

CatalogPackage package(const QString &name, std::optional<QString> description = std::nullopt,
                       std::optional<QString> latest = QStringLiteral("1.0"), bool dependency = false)
{
    CatalogPackage p;
    p.name = name;
    p.description = std::move(description);
    p.kind = dependency ? CatalogPackage::Kind::Dependency : CatalogPackage::Kind::Package;
    p.latest = latest;
    if (latest)
        p.versions = {*latest};
    return p;
}

// zelk's order, which is not alphabetical: the list must keep it.
QList<CatalogPackage> fixtureCatalog()
{
    return {
        package(QStringLiteral("ripgrep"), QStringLiteral("Search directories for a regex pattern")),
        package(QStringLiteral("jq"), QStringLiteral("Command-line JSON processor")),
        package(QStringLiteral("gojq"), std::nullopt, std::nullopt),
        package(QStringLiteral("yq"), QStringLiteral("A portable processor like JQ for YAML")),
        package(QStringLiteral("oniguruma"), QStringLiteral("Regular expressions library"), QStringLiteral("6.9.9"),
                true),
        package(QStringLiteral("bat"), QStringLiteral("A cat clone with wings")),
    };
}

// Many packages, for the list at scale and the fold off the GUI thread.
QList<CatalogPackage> largeCatalog(int count)
{
    QList<CatalogPackage> packages;
    const QStringList words{QStringLiteral("json"), QStringLiteral("Tool"), QStringLiteral("straße"),
                            QStringLiteral("ΣΟΦΟΣ"), QStringLiteral("İzmir"), QStringLiteral("𐐀x")};
    for (int i = 0; i < count; ++i) {
        std::optional<QString> description;
        if (i % 3)
            description = QStringLiteral("A %1 for %2 and a rather longer tail of words to wrap %3")
                              .arg(words[i % words.size()], words[(i / 7) % words.size()])
                              .arg(i);
        packages.append(package(QStringLiteral("pkg%1-%2").arg(i).arg(words[(i / 3) % words.size()]), description));
    }
    return packages;
}

QStringList names(const QList<CatalogPackage> &packages)
{
    QStringList result;
    for (const CatalogPackage &p : packages)
        result.append(p.name);
    return result;
}

QStringList rows(const DiscoverListView *view)
{
    QStringList result;
    const DiscoverListModel *model = view->listModel();
    for (int row = 0; row < model->rowCount(); ++row)
        result.append(model->index(row).data(DiscoverListModel::NameRole).toString());
    return result;
}

struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    FakeStore *store = new FakeStore;
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(store);
    std::unique_ptr<Localizer> l = std::make_unique<Localizer>(
        AppLanguage::English, Localizer::Environment{&settings, QStringList{QStringLiteral("en-US")}});
    std::unique_ptr<ContentView> window;
    std::unique_ptr<DiscoverListView> alone;

    explicit Fixture(QList<CatalogPackage> catalog = fixtureCatalog())
    {
        store->catalogPackages = std::move(catalog);
    }
    ~Fixture()
    {
        store->release();
        for (int i = 0; i < 1000 && model->isLoading(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        alone.reset();
        window.reset();
    }

    DiscoverListView *screen(bool refreshFirst = true)
    {
        if (!alone) {
            if (refreshFirst)
                TestSupport::await(model->refresh(false));
            alone = std::make_unique<DiscoverListView>(*model, *l, std::nullopt);
            alone->resize(460, 600);
            alone->show();
            if (!QTest::qWaitForWindowExposed(alone.get()))
                return nullptr;
        }
        return alone.get();
    }

    // The screen over a catalog that is folded on the worker pool however
    // small it is, made before its fold is ready.
    DiscoverListView *screenFoldingAway()
    {
        TestSupport::await(model->refresh(false));
        CatalogFoldCache::of(*model).setSynchronousLimit(0);
        return screen(false);
    }

    ContentView *view()
    {
        if (!window) {
            window = std::make_unique<ContentView>(*model, *l);
            window->show();
            if (!QTest::qWaitForWindowExposed(window.get()))
                return nullptr;
            for (int i = 0; i < 500 && model->isLoading(); ++i)
                QTest::qWait(10);
        }
        return window.get();
    }
    DiscoverListView *windowList() const { return qobject_cast<DiscoverListView *>(window->contentScreen()); }
};

void clickRow(DiscoverListView *view, const QString &name)
{
    const int row = view->listModel()->rowOf(name);
    QVERIFY2(row >= 0, qPrintable(name));
    view->list()->scrollTo(view->listModel()->index(row));
    const QRect rect = view->list()->visualRect(view->listModel()->index(row));
    QTest::mouseClick(view->list()->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestDiscoverList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filtered_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("empty lists the whole index in zelk's order") << QString() << names(fixtureCatalog());
        QTest::addRow("jq: the name, and descriptions that say JQ, in order")
            << QStringLiteral("jq")
            << QStringList{QStringLiteral("jq"), QStringLiteral("gojq"), QStringLiteral("yq")};
        QTest::addRow("a description without the name") << QStringLiteral("REGEX")
                                                         << QStringList{QStringLiteral("ripgrep")};
        QTest::addRow("description anywhere, any case")
            << QStringLiteral("regul") << QStringList{QStringLiteral("oniguruma")};
        QTest::addRow("no match") << QStringLiteral("zzz") << QStringList();
        QTest::addRow("blanks are searched as typed")
            << QStringLiteral("jq ") << QStringList{QStringLiteral("yq")};
        QTest::addRow("a version is not searched") << QStringLiteral("6.9.9") << QStringList();
        QTest::addRow("the kind is not searched") << QStringLiteral("DEPENDENCY") << QStringList();
    }

    void filtered()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        QCOMPARE(names(DiscoverListView::filtered(fixtureCatalog(), search)), expected);
    }

    // The fold must answer as Qt's case-insensitive containment does, in
    // the name and in the description, however the search reaches it: a
    // full pass, narrowing an earlier result, or the records themselves.
    void foldAgreesWithCaseInsensitiveContainment_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addRow("ascii") << QStringLiteral("LibJQ-Dev") << QStringLiteral("jq-d");
        QTest::addRow("sharp s is not ss") << QStringLiteral("straße") << QStringLiteral("STRASSE");
        QTest::addRow("sharp s matches itself") << QStringLiteral("STRAßE") << QStringLiteral("aß");
        QTest::addRow("capital sharp s") << QStringLiteral("STRAẞE") << QStringLiteral("ß");
        QTest::addRow("final sigma") << QStringLiteral("ΣΟΦΟΣ") << QStringLiteral("σοφος");
        QTest::addRow("final sigma needle") << QStringLiteral("σοφοσ") << QStringLiteral("ΟΦΟς");
        QTest::addRow("dotted capital I") << QStringLiteral("İstanbul") << QStringLiteral("istanbul");
        QTest::addRow("dotted capital I itself") << QStringLiteral("İstanbul") << QStringLiteral("İS");
        QTest::addRow("dotless i") << QStringLiteral("ıspanak") << QStringLiteral("I");
        QTest::addRow("Deseret outside the BMP") << QStringLiteral("𐐀𐐁x") << QStringLiteral("𐐨𐐩");
        QTest::addRow("Deseret the other way") << QStringLiteral("a𐐨𐐩") << QStringLiteral("𐐀𐐁");
        QTest::addRow("kelvin sign") << QStringLiteral("\u212Aelvin") << QStringLiteral("k");
        QTest::addRow("no match") << QStringLiteral("ripgrep") << QStringLiteral("rg");
    }

    void foldAgreesWithCaseInsensitiveContainment()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        const bool expected = text.contains(search, Qt::CaseInsensitive);
        // The text as a name, as a description, and beside many others so
        // that both ways of searching the fold run.
        QList<CatalogPackage> packages{package(text), package(QStringLiteral("other"), text)};
        for (int i = 0; i < 10; ++i)
            packages.append(package(QStringLiteral("pad%1").arg(i), QStringLiteral("ww")));
        const std::shared_ptr<CatalogFold> fold = CatalogSearch::build(packages, std::nullopt);
        const QList<int> full = CatalogSearch::matching(*fold, search);
        const QList<int> unfolded = CatalogSearch::matching(packages, search);
        const QList<int> both{0, 1};
        const QList<int> narrowed = CatalogSearch::matching(*fold, search, &both);
        const QList<int> want = expected ? QList<int>{0, 1} : QList<int>();
        QCOMPARE(full, want);
        QCOMPARE(unfolded, want);
        QCOMPARE(narrowed, want);
    }

    // Typing narrows the previous rows; every step must equal a fresh search.
    void narrowingAndWideningAgreeWithAFreshSearch()
    {
        const QList<CatalogPackage> packages = largeCatalog(3000);
        Fixture f(packages);
        DiscoverListView *view = f.screen();
        QVERIFY(view);
        QTRY_VERIFY(view->isFoldReady());
        for (const char *text : {"j", "js", "jso", "json", "json ", "jso", "", "ß", "ßx", "σ", "σο", "𐐨", "𐐨X", "t"}) {
            const QString search = QString::fromUtf8(text);
            view->setSearch(search);
            QCOMPARE(rows(view), names(DiscoverListView::filtered(packages, search)));
            QStringList oracle;
            for (const CatalogPackage &p : packages) {
                if (p.name.contains(search, Qt::CaseInsensitive)
                    || (p.description && p.description->contains(search, Qt::CaseInsensitive)))
                    oracle.append(p.name);
            }
            QCOMPARE(rows(view), oracle);
        }
    }

    // A large catalog is folded on the worker pool; a search typed before
    // that ends runs there too, on the records, and is answered exactly all
    // the same: the shown rows stay until its answer comes, a newer search
    // drops an older one's answer, and the fold takes over once ready.
    void searchBeforeTheFoldIsReadyIsExact()
    {
        const QList<CatalogPackage> packages = largeCatalog(20000);
        Fixture f(packages);
        DiscoverListView *view = f.screenFoldingAway();
        QVERIFY(view);
        QVERIFY(!view->isFoldReady());
        const QStringList everything = names(packages);
        const QStringList strasse = names(DiscoverListView::filtered(packages, QStringLiteral("STRASSE")));
        view->setSearch(QStringLiteral("STRASSE"));
        view->setSearch(QStringLiteral("İZ"));
        // Until an answer comes the rows stay; a worker quick enough may have
        // answered the first text before the second was typed.
        if (view->listModel()->searching()) {
            const QStringList meanwhile = rows(view);
            QVERIFY(meanwhile == everything || meanwhile == strasse);
            QCOMPARE(view->showsNoResults(), meanwhile.isEmpty());
        }
        QTRY_VERIFY(!view->listModel()->searching());
        const QStringList before = rows(view);
        QCOMPARE(before, names(DiscoverListView::filtered(packages, QStringLiteral("İZ"))));
        QVERIFY(!before.isEmpty());
        QCOMPARE(view->listModel()->search(), QStringLiteral("İZ"));

        // A text matching nothing names itself once its answer is in.
        view->setSearch(QStringLiteral("STRASSE"));
        QTRY_VERIFY(!view->listModel()->searching());
        QCOMPARE(rows(view), strasse);
        QVERIFY(view->showsNoResults());
        QCOMPARE(view->noResultsTitle()->text(), QStringLiteral("No Results for “STRASSE”"));

        QTRY_VERIFY(view->isFoldReady());
        view->setSearch(QStringLiteral("İZm"));
        QVERIFY(!view->listModel()->searching());
        QCOMPARE(rows(view), names(DiscoverListView::filtered(packages, QStringLiteral("İZm"))));

        // Coming back to Discover does not fold the same catalog again.
        const CatalogFold *fold = view->listModel()->fold();
        f.alone.reset();
        DiscoverListView *again = f.screen(false);
        QVERIFY(again->isFoldReady());
        QCOMPARE(again->listModel()->fold(), fold);
    }

    // A new catalog while a search runs on the records: the old catalog's
    // rows stay shown until the new one's are known, then both change in one
    // reset; the rows are the new catalog's, exactly.
    void newCatalogDuringASearchOffTheGuiThread()
    {
        const QList<CatalogPackage> packages = largeCatalog(20000);
        Fixture f(packages);
        DiscoverListView *view = f.screenFoldingAway();
        QVERIFY(view);
        view->setSearch(QStringLiteral("json"));
        QTRY_VERIFY(!view->listModel()->searching());
        const QStringList before = rows(view);

        QList<CatalogPackage> changed = packages;
        changed.removeFirst();
        changed.append(package(QStringLiteral("jsonnet-new"), std::nullopt));
        f.store->catalogPackages = changed;
        TestSupport::await(f.model->refresh(true));
        if (view->listModel()->searching())
            QCOMPARE(rows(view), before);
        QTRY_VERIFY(!view->listModel()->searching());
        QCOMPARE(rows(view), names(DiscoverListView::filtered(changed, QStringLiteral("json"))));
        QCOMPARE(view->listModel()->packages().size(), changed.size());
    }

    void noMatchNamesTheSearchText_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addColumn<QString>("title");
        QTest::addRow("English") << AppLanguage::English << QStringLiteral("No Results for “zzz”");
        QTest::addRow("Chinese") << AppLanguage::ChineseSimplified << QStringLiteral("没有“zzz”的结果");
    }

    void noMatchNamesTheSearchText()
    {
        QFETCH(AppLanguage, language);
        QFETCH(QString, title);
        Fixture f;
        f.l->setLanguage(language);
        DiscoverListView *view = f.screen();
        QVERIFY(view);
        QVERIFY(!view->noResults()->isVisible());
        view->setSearch(QStringLiteral("zzz"));
        QVERIFY(view->showsNoResults());
        QVERIFY(view->noResults()->isVisible());
        QCOMPARE(view->noResultsTitle()->text(), title);
        QCOMPARE(view->noResultsTitle()->textFormat(), Qt::PlainText);
        view->setSearch(QString());
        QVERIFY(!view->noResults()->isVisible());
        QCOMPARE(rows(view).size(), fixtureCatalog().size());
    }

    void emptyIndexSaysSo()
    {
        Fixture f(QList<CatalogPackage>{});
        DiscoverListView *view = f.screen();
        QVERIFY(view);
        QVERIFY(view->noResults()->isVisible());
        QCOMPARE(view->noResultsTitle()->text(), QStringLiteral("No Packages in the Index"));
    }

    void spinnerOnlyOnTheFirstLoad()
    {
        Fixture f;
        f.store->hold(FakeStore::Query::CatalogDocument);
        ContentView *window = new ContentView(*f.model, *f.l);
        f.window.reset(window);
        window->setSection(SidebarItem::Discover);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        DiscoverListView *view = f.windowList();
        QTRY_VERIFY(f.model->isLoading());
        QVERIFY(view->showsSpinner());
        QVERIFY(view->spinnerOverlay()->isVisible());
        QVERIFY(!view->noResults()->isVisible());
        f.store->release();
        QTRY_VERIFY(!f.model->isLoading());
        QVERIFY(!view->spinnerOverlay()->isVisible());
        QCOMPARE(rows(view), names(fixtureCatalog()));

        f.store->hold(FakeStore::Query::CatalogDocument);
        window->refresh();
        QTRY_VERIFY(f.model->isLoading());
        QVERIFY(!view->spinnerOverlay()->isVisible());
        f.store->release();
        QTRY_VERIFY(!f.model->isLoading());
    }

    // A row's height follows its description: none, one line, or two.
    void rowsWithoutLatestOrDescription()
    {
        QList<CatalogPackage> catalog{
            package(QStringLiteral("plain"), std::nullopt, std::nullopt),
            package(QStringLiteral("short"), QStringLiteral("Short")),
            package(QStringLiteral("long"), QStringLiteral("A description long enough to need a second line in a "
                                                          "narrow list, and then some more words that will not fit "
                                                          "even on the second line at all, so it ends in an ellipsis")),
        };
        Fixture f(catalog);
        DiscoverListView *view = f.screen();
        QVERIFY(view);
        QListView *list = view->list();
        const auto height = [&](const QString &name) {
            return list->visualRect(view->listModel()->index(view->listModel()->rowOf(name))).height();
        };
        QVERIFY(height(QStringLiteral("plain")) < height(QStringLiteral("short")));
        QVERIFY(height(QStringLiteral("short")) < height(QStringLiteral("long")));
        const PackageRowStyle &style = view->delegate()->style();
        QCOMPARE(height(QStringLiteral("plain")), DiscoverRow::height(style, 0));
        QCOMPARE(height(QStringLiteral("long")), DiscoverRow::height(style, 2));
        QCOMPARE(DiscoverRow(catalog[0], false, 0, style).versionText(), QString());
        QCOMPARE(DiscoverRow(catalog[1], false, 1, style).versionText(), QStringLiteral("v1.0"));

        // Wide enough, the long description takes one line: the list lays
        // its rows out again.
        view->resize(4000, 600);
        QTRY_COMPARE(height(QStringLiteral("long")), DiscoverRow::height(style, 1));
        view->resize(460, 600);
        QTRY_COMPARE(height(QStringLiteral("long")), DiscoverRow::height(style, 2));

        // A repaint lays out no text again.
        list->viewport()->repaint();
        const qsizetype cached = view->delegate()->cachedRows();
        QCOMPARE(cached, catalog.size());
        list->viewport()->repaint();
        QCOMPARE(view->delegate()->cachedRows(), cached);
    }

    void selectedRowIsWhite()
    {
        Fixture f;
        DiscoverListView *view = f.screen();
        QVERIFY(view);
        const CatalogPackage &jq = fixtureCatalog()[1];
        const DiscoverRow selected(jq, true, 1, view->delegate()->style());
        const DiscoverRow plain(jq, false, 1, view->delegate()->style());
        QCOMPARE(selected.secondaryColour(view->palette()), QColor(Qt::white));
        QVERIFY(plain.secondaryColour(view->palette()) != QColor(Qt::white));
    }

    void searchFieldSitsInTheToolbar()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        window->setSection(SidebarItem::Discover);
        DiscoverListView *view = f.windowList();
        QVERIFY(view);
        QTRY_VERIFY(view->isVisible());
        QLineEdit *field = view->searchField();
        QVERIFY(window->screenToolbarSlot()->isAncestorOf(field));
        QVERIFY(field->isVisible());
        QCOMPARE(field->placeholderText(), QStringLiteral("Search the package index"));
        QCOMPARE(field->accessibleName(), QStringLiteral("Search the package index"));
        QCOMPARE(view->navigationTitle(), QStringLiteral("Discover"));

        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        view->list()->setFocus();
        QVERIFY(!view->isSearchFocused());
        QTest::keyClick(view->list(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(view->isSearchFocused());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("JQ"));
        QCOMPARE(view->search(), QStringLiteral("JQ"));
        QCOMPARE(rows(view), (QStringList{QStringLiteral("jq"), QStringLiteral("gojq"), QStringLiteral("yq")}));

        // Each visit starts with an empty search; the old field goes away.
        window->setSection(SidebarItem::Installed);
        window->setSection(SidebarItem::Discover);
        DiscoverListView *again = f.windowList();
        QVERIFY(again != view);
        QCOMPARE(again->search(), QString());
        QCOMPARE(again->searchField()->text(), QString());
        QCOMPARE(window->screenToolbarSlot()->findChildren<QLineEdit *>().size(), 1);
    }

    // Selecting a package that is not installed selects it for the window:
    // the detail column shows it.
    void selectingAPackageSelectsItForTheWindow()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        window->setSection(SidebarItem::Discover);
        DiscoverListView *view = f.windowList();
        clickRow(view, QStringLiteral("yq"));
        QCOMPARE(window->selectedPackage(), std::optional(QStringLiteral("yq")));
        auto *detail = qobject_cast<PackageDetailView *>(window->detailWidget());
        QVERIFY(detail);
        QCOMPARE(detail->packageName(), QStringLiteral("yq"));
        QVERIFY(view->listModel()->isSelected(view->listModel()->rowOf(QStringLiteral("yq"))));

        // A search that hides the row keeps the window's selection.
        view->setSearch(QStringLiteral("bat"));
        QCOMPARE(window->selectedPackage(), std::optional(QStringLiteral("yq")));
        view->setSearch(QString());
        const int row = view->listModel()->rowOf(QStringLiteral("yq"));
        QVERIFY(view->list()->selectionModel()->isSelected(view->listModel()->index(row)));
    }

    // A refresh with the same catalog leaves the list alone; one with a
    // changed catalog keeps the scroll position and the current row, with
    // or without a selection.
    void refreshesKeepTheListWhereItWas_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::addRow("a selected row") << true;
        QTest::addRow("no selection") << false;
    }

    void refreshesKeepTheListWhereItWas()
    {
        QFETCH(bool, selected);
        Fixture f(largeCatalog(500));
        DiscoverListView *view = f.screen();
        QVERIFY(view);
        DiscoverListModel *model = view->listModel();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QListView *list = view->list();
        const QModelIndex row200 = model->index(200);
        if (selected)
            list->selectionModel()->setCurrentIndex(row200, QItemSelectionModel::ClearAndSelect);
        else
            list->selectionModel()->setCurrentIndex(row200, QItemSelectionModel::NoUpdate);
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 3);
        const int scroll = list->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        const QString current = model->packageAt(200).name;
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);

        TestSupport::await(f.model->refresh(true));
        QCOMPARE(resets.count(), 0);

        // A package added before the current row moves it down by one.
        f.store->catalogPackages.insert(10, package(QStringLiteral("newcomer"), QStringLiteral("Fresh")));
        TestSupport::await(f.model->refresh(true));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(list->verticalScrollBar()->value(), scroll);
        QVERIFY(list->currentIndex().isValid());
        QCOMPARE(model->packageAt(list->currentIndex().row()).name, current);
        QCOMPARE(list->selectionModel()->hasSelection(), selected);
        QCOMPARE(view->selection(), selected ? std::optional(current) : std::nullopt);
    }
};

REVEZE_GUI_TEST_MAIN(TestDiscoverList)

#include "tst_discoverlist.moc"
