// The Upgrades screen: the header, the seal when nothing is outdated, the
// outdated list asked for on every visit, and the install sheet opened in
// upgrade mode for one package or all of them, by mouse, by keyboard and
// through the buttons screen readers see, at a thousand rows too.

#include "AppModel.h"
#include "Localizer.h"
#include "upgrades/UpgradesAccessible.h"
#include "upgrades/UpgradesList.h"
#include "upgrades/UpgradesListModel.h"
#include "upgrades/UpgradesView.h"
#include "window/ContentView.h"
#include "install/InstallSheet.h"

#include "GuiTestSupport.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReveZE;
using GuiTestSupport::FakeStore;
using ZelkKit::OutdatedItem;
using ZelkKit::ZelkOperation;

namespace {

QList<OutdatedItem> fixtureOutdated()
{
    return {
        {QStringLiteral("jq"), QStringLiteral("1.6"), QStringLiteral("1.7.1"), QStringLiteral("outdated"), std::nullopt},
        {QStringLiteral("ffmpeg"), QStringLiteral("6.0"), QStringLiteral("6.1.1"), QStringLiteral("outdated"),
         QStringLiteral("6.0")},
        {QStringLiteral("bat"), QStringLiteral("0.23.0"), QStringLiteral("0.24.0"), QStringLiteral("outdated"),
         std::nullopt},
    };
}

struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    FakeStore *store = new FakeStore;
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(store);
    std::unique_ptr<Localizer> l = std::make_unique<Localizer>(
        AppLanguage::English, Localizer::Environment{&settings, QStringList{QStringLiteral("en-US")}});
    std::unique_ptr<ContentView> window;
    std::unique_ptr<UpgradesView> alone;

    explicit Fixture(QList<OutdatedItem> outdated = fixtureOutdated()) { store->outdatedList = std::move(outdated); }
    ~Fixture()
    {
        store->release();
        for (int i = 0; i < 1000 && (model->isLoading() || (alone && !alone->isLoaded())); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        alone.reset();
        window.reset();
    }

    // The screen on its own, shown: it asks for the outdated list.
    UpgradesView *screen()
    {
        if (!alone) {
            alone = std::make_unique<UpgradesView>(*model, *l);
            alone->resize(520, 600);
            alone->show();
            if (!QTest::qWaitForWindowExposed(alone.get()))
                return nullptr;
            for (int i = 0; i < 500 && !alone->isLoaded(); ++i)
                QTest::qWait(10);
        }
        return alone.get();
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
};

void clickUpgrade(UpgradesView *view, const QString &name)
{
    const int row = view->listModel()->rowOf(name);
    QVERIFY2(row >= 0, qPrintable(name));
    view->list()->scrollTo(view->listModel()->index(row));
    QTest::mouseClick(view->list()->viewport(), Qt::LeftButton, {}, view->list()->buttonRect(row).center());
}

struct Request {
    QString name;
    ZelkOperation operation;
    bool upgradeAll;
};

Request request(const QSignalSpy &spy, int index = 0)
{
    const QList<QVariant> arguments = spy.at(index);
    return {arguments.at(0).toString(), arguments.at(1).value<ZelkOperation>(), arguments.at(2).toBool()};
}

} // namespace

class TestUpgrades : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<ZelkOperation>(); }

    void headerAndRows()
    {
        Fixture f;
        UpgradesView *view = f.screen();
        QVERIFY(view);
        QAbstractItemModelTester tester(view->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(view->titleLabel()->text(), QStringLiteral("Updates available"));
        QCOMPARE(view->countLabel()->text(), QStringLiteral("3 updates"));
        QVERIFY(view->upgradeAllButton()->isEnabled());
        QCOMPARE(view->upgradeAllButton()->text(), QStringLiteral("Upgrade all"));
        QVERIFY(!view->showsSeal());
        QVERIFY(view->list()->isVisible());
        QCOMPARE(view->listModel()->rowCount(), 3);
        QCOMPARE(view->listModel()->index(1).data(Qt::DisplayRole).toString(), QStringLiteral("ffmpeg"));
        QCOMPARE(view->listModel()->versionsText(1), QStringLiteral("6.0 → 6.1.1"));
        QCOMPARE(view->navigationTitle(), QStringLiteral("Upgrades"));
    }

    void everythingUpToDate()
    {
        Fixture f(QList<OutdatedItem>{});
        UpgradesView *view = f.screen();
        QVERIFY(view);
        QVERIFY(view->showsSeal());
        QVERIFY(view->seal()->isVisible());
        QVERIFY(!view->list()->isVisible());
        QCOMPARE(view->countLabel()->text(), QStringLiteral("0 updates"));
        QVERIFY(!view->upgradeAllButton()->isEnabled());
        QCOMPARE(view->seal()->findChild<QLabel *>(QStringLiteral("upToDateLabel"))->text(),
                 QStringLiteral("Everything is up to date."));
    }

    void upgradeOneOrAll()
    {
        Fixture f;
        UpgradesView *view = f.screen();
        QVERIFY(view);
        QSignalSpy requests(view, &NavigationScreen::installRequested);
        clickUpgrade(view, QStringLiteral("ffmpeg"));
        QCOMPARE(requests.count(), 1);
        Request r = request(requests);
        QCOMPARE(r.name, QStringLiteral("ffmpeg"));
        QCOMPARE(r.operation, ZelkOperation::Upgrade);
        QVERIFY(!r.upgradeAll);
        QCOMPARE(view->target(), std::optional(QStringLiteral("ffmpeg")));

        // A press that leaves the button before it is let go does nothing.
        const int row = view->listModel()->rowOf(QStringLiteral("bat"));
        QTest::mousePress(view->list()->viewport(), Qt::LeftButton, {}, view->list()->buttonRect(row).center());
        QTest::mouseRelease(view->list()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(requests.count(), 1);

        QTest::mouseClick(view->upgradeAllButton(), Qt::LeftButton);
        QCOMPARE(requests.count(), 2);
        r = request(requests, 1);
        QCOMPARE(r.name, QString());
        QCOMPARE(r.operation, ZelkOperation::Upgrade);
        QVERIFY(r.upgradeAll);
        QCOMPARE(view->target(), std::nullopt);
        QVERIFY(view->upgradingAll());
    }

    void theWindowOpensTheSheetInUpgradeMode()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        window->setSection(SidebarItem::Upgrades);
        auto *view = qobject_cast<UpgradesView *>(window->contentScreen());
        QVERIFY(view);
        QTRY_VERIFY(view->isLoaded());
        clickUpgrade(view, QStringLiteral("ffmpeg"));
        auto *sheet = qobject_cast<InstallSheet *>(window->installSheet());
        QVERIFY(sheet);
        QCOMPARE(sheet->packageName(), QStringLiteral("ffmpeg"));
        QCOMPARE(sheet->operation(), ZelkOperation::Upgrade);
        QVERIFY(!sheet->upgradingAll());
        sheet->reject();
        QTRY_VERIFY(!window->showingInstall());

        QTest::mouseClick(view->upgradeAllButton(), Qt::LeftButton);
        sheet = qobject_cast<InstallSheet *>(window->installSheet());
        QVERIFY(sheet);
        QCOMPARE(sheet->packageName(), QString());
        QCOMPARE(sheet->operation(), ZelkOperation::Upgrade);
        QVERIFY(sheet->upgradingAll());
        sheet->reject();
    }

    void everyVisitAsksForTheOutdatedListAgain()
    {
        Fixture f;
        ContentView *window = f.view();
        QVERIFY(window);
        const int afterStart = f.store->calls(FakeStore::Query::Outdated);
        for (int visit = 1; visit <= 3; ++visit) {
            window->setSection(SidebarItem::Upgrades);
            QTRY_COMPARE(f.store->calls(FakeStore::Query::Outdated), afterStart + visit);
            window->setSection(SidebarItem::Installed);
        }
    }

    // A screen that goes while its refresh runs: the model still takes the
    // list; nothing of the screen is touched afterwards.
    void theModelTakesTheListWhenTheScreenHasGone()
    {
        Fixture f;
        f.store->hold(FakeStore::Query::Outdated);
        f.alone = std::make_unique<UpgradesView>(*f.model, *f.l);
        f.alone->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.alone.get()));
        QVERIFY(!f.alone->isLoaded());
        QTRY_COMPARE(f.store->calls(FakeStore::Query::Outdated), 1);
        f.alone.reset();
        QVERIFY(f.model->outdated().isEmpty());
        f.store->release();
        QTRY_COMPARE(f.model->outdated().size(), 3);
    }

    void keyboardUpgrades()
    {
        Fixture f;
        UpgradesView *view = f.screen();
        QVERIFY(view);
        QSignalSpy requests(view, &NavigationScreen::installRequested);
        UpgradesList *list = view->list();
        list->setFocus();
        QTRY_VERIFY(list->hasFocus());
        QCOMPARE(list->currentIndex().row(), 0);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(requests.count(), 1);
        QCOMPARE(request(requests).name, QStringLiteral("ffmpeg"));
        QVERIFY(!request(requests).upgradeAll);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(requests.count(), 2);
        QCOMPARE(request(requests, 1).name, QStringLiteral("bat"));
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(requests.count(), 3);
        QCOMPARE(request(requests, 2).name, QStringLiteral("ffmpeg"));
        QCOMPARE(list->selectionModel()->hasSelection(), false);
    }

    // With more than a thousand rows every Upgrade is a named, pressable
    // button for screen readers, and the keyboard reaches the last one.
    void screenReadersSeeEveryUpgradeButton()
    {
        Fixture f(GuiTestSupport::outdatedItems(1200));
        UpgradesView *view = f.screen();
        QVERIFY(view);
        QSignalSpy requests(view, &NavigationScreen::installRequested);
        UpgradesList *list = view->list();
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(list);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::List);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Updates available"));
        QCOMPARE(accessible->childCount(), 1200);
        QAccessibleInterface *button = accessible->child(1100);
        QVERIFY(button);
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Upgrade pkg1100"));
        QCOMPARE(button->text(QAccessible::Description), QStringLiteral("pkg1100 1.0 → 1.1"));
        QCOMPARE(button->parent(), accessible);
        QCOMPARE(accessible->indexOfChild(button), 1100);
        QVERIFY(button->state().focusable);
        QVERIFY(button->state().offscreen);
        QAccessibleActionInterface *action = button->actionInterface();
        QVERIFY(action);
        QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(requests.count(), 1);
        QCOMPARE(request(requests).name, QStringLiteral("pkg1100"));

        list->setFocus();
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(list->currentIndex().row(), 1199);
        QCOMPARE(accessible->focusChild(), accessible->child(1199));
        QVERIFY(accessible->child(1199)->state().focused);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(requests.count(), 2);
        QCOMPARE(request(requests, 1).name, QStringLiteral("pkg1199"));

        // In Chinese the buttons read so too.
        f.l->setLanguage(AppLanguage::ChineseSimplified);
        QCOMPARE(accessible->child(3)->text(QAccessible::Name), QStringLiteral("升级 pkg3"));
    }

    // An equal outdated list leaves the rows alone; a changed one keeps the
    // scroll position and the current row.
    void refreshesKeepTheListWhereItWas()
    {
        Fixture f(GuiTestSupport::outdatedItems(400));
        UpgradesView *view = f.screen();
        QVERIFY(view);
        UpgradesList *list = view->list();
        QSignalSpy resets(view->listModel(), &QAbstractItemModel::modelReset);
        list->setCurrentIndex(view->listModel()->index(150));
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 2);
        const int scroll = list->verticalScrollBar()->value();
        TestSupport::await(f.model->refreshOutdated());
        QCOMPARE(resets.count(), 0);
        f.store->outdatedList.removeAt(3);
        TestSupport::await(f.model->refreshOutdated());
        QCOMPARE(resets.count(), 1);
        QCOMPARE(list->verticalScrollBar()->value(), scroll);
        QCOMPARE(view->listModel()->itemAt(list->currentIndex().row()).name, QStringLiteral("pkg150"));
        QCOMPARE(view->countLabel()->text(), QStringLiteral("399 updates"));
    }
};

REVEZE_GUI_TEST_MAIN(TestUpgrades)

#include "tst_upgrades.moc"
