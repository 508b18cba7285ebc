// The window: sidebar and sections, the Upgrades badge, the toolbar's
// Install and Refresh, the error alert, the status bar and the language
// picker, driven through the real widgets over a canned store.

#include "AppModel.h"
#include "window/ContentView.h"
#include "window/SelectPackageView.h"
#include "install/InstallSheet.h"
#include "installed/InstalledListModel.h"
#include "installed/InstalledListView.h"
#include "doctor/DoctorView.h"
#include "window/LanguagePicker.h"
#include "Localizer.h"
#include "detail/PackageDetailView.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"
#include "widgets/SearchBar.h"
#include "window/SidebarModel.h"
#include "window/StatusBar.h"

#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDesktopServices>
#include <QUrl>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QProcess>
#include <QShowEvent>
#include <QtTest/qtestspontaneevent.h>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace ReveZE;
using GuiTestSupport::FakeStore;
using GuiTestSupport::detail;

namespace {

// A window over a canned store; the store is configured before show().
struct Window {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    FakeStore *store = new FakeStore;
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(store);
    std::unique_ptr<Localizer> l = std::make_unique<Localizer>(
        AppLanguage::English, Localizer::Environment{&settings, QStringList{QStringLiteral("en-US")}});
    std::unique_ptr<ContentView> view = std::make_unique<ContentView>(*model, *l);

    Window()
    {
        store->installStatus = GuiTestSupport::statusOf({
            detail(QStringLiteral("jq"), QStringLiteral("1.7.1")),
            detail(QStringLiteral("oniguruma"), QStringLiteral("6.9.9"), true),
            detail(QStringLiteral("curl"), QStringLiteral("8.5.0")),
        });
        store->catalogPackages = {{QStringLiteral("jq"), std::nullopt, ZelkKit::CatalogPackage::Kind::Package,
                                   QStringLiteral("1.7.1"), {QStringLiteral("1.7.1")}},
                                  {QStringLiteral("ripgrep"), std::nullopt, ZelkKit::CatalogPackage::Kind::Package,
                                   QStringLiteral("14.1.0"), {QStringLiteral("14.1.0")}}};
    }

    ~Window()
    {
        // A refresh held by a test that failed half-way ends before the
        // window and the model go.
        store->release();
        for (int i = 0; i < 1000 && model->isLoading(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    // Shows the window and, unless the store holds a query, waits for the
    // first refresh it starts to end (it hops to the worker pool and back).
    bool show()
    {
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            return false;
        return store->holdsAny() || QTest::qWaitFor([this] { return !model->isLoading(); });
    }

    InstalledListView *list() const { return qobject_cast<InstalledListView *>(view->contentScreen()); }

    void clickSidebar(SidebarItem item, Qt::KeyboardModifiers modifiers = {})
    {
        QListView *sidebar = view->sidebar();
        const QRect rect = sidebar->visualRect(view->sidebarModel()->indexOf(item));
        QTest::mouseClick(sidebar->viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    void clickPackage(const QString &name)
    {
        InstalledListView *screen = list();
        QVERIFY(screen);
        const int row = screen->listModel()->rowOf(name);
        QVERIFY(row >= 0);
        const QRect rect = screen->list()->visualRect(screen->listModel()->index(row));
        QTest::mouseClick(screen->list()->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

bool visibleIn(const QWidget *widget, const QWidget *window)
{
    return widget && widget->isVisibleTo(window);
}

// Records every URL ReveZE asks the desktop to open, so none is opened.
struct UrlRecorder : QObject {
    Q_OBJECT
public:
    UrlRecorder()
    {
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~UrlRecorder() override
    {
        for (const char *scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

// A screen that uses everything the window offers its screens: a toolbar
// widget, the shared selection, the install sheet; it counts its appearances.
class ProbeScreen : public NavigationScreen
{
public:
    explicit ProbeScreen(QWidget *parent)
        : NavigationScreen(parent), m_field(new QLineEdit(this))
    {
        m_field->setObjectName(QStringLiteral("probeField"));
        m_field->hide();
    }

    QString navigationTitle() const override { return QStringLiteral("Probe"); }
    QWidget *toolbarWidget() const override { return m_field; }
    void setSelectedPackage(const std::optional<QString> &name) override { selection = name; }

    void pick(const QString &name) { Q_EMIT selectionEdited(name); }
    void askForSheet(const QString &name, ZelkKit::ZelkOperation operation, bool upgradeAll)
    {
        Q_EMIT installRequested(name, operation, upgradeAll);
    }

    std::optional<QString> selection;
    int appearances = 0;

protected:
    void appeared() override { ++appearances; }

private:
    QLineEdit *m_field;
};

// A screen that shows nothing but its title.
class StillScreen : public NavigationScreen
{
public:
    StillScreen(QString title, QWidget *parent) : NavigationScreen(parent), m_title(std::move(title)) {}
    QString navigationTitle() const override { return m_title; }

private:
    QString m_title;
};

// Discover shows the probe, Installed its list, the others a still screen.
ContentView::ScreenMaker probeAsDiscover(ContentView &view, QPointer<ProbeScreen> &probe, AppModel &model,
                                         Localizer &l)
{
    return [&view, &probe, &model, &l](SidebarItem section, QWidget *parent) -> NavigationScreen * {
        Q_UNUSED(view);
        if (section == SidebarItem::Discover) {
            probe = new ProbeScreen(parent);
            return probe.data();
        }
        if (section == SidebarItem::Installed)
            return new InstalledListView(model, l, std::nullopt, parent);
        return new StillScreen(rawValue(section), parent);
    };
}

} // namespace

class TestContentView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowHasItsDefaultSizeAndColumns()
    {
        Window w;
        QVERIFY(w.show());
        QCOMPARE(w.view->size(), QSize(1120, 720));
        const int sidebar = w.view->columns()->sizes().at(0);
        QVERIFY2(sidebar >= 180 && sidebar <= 260, qPrintable(QString::number(sidebar)));
        QCOMPARE(w.view->columns()->widget(0)->minimumWidth(), 180);
        QCOMPARE(w.view->columns()->widget(0)->maximumWidth(), 260);
        QCOMPARE(w.view->columns()->count(), 3);
        QCOMPARE(w.view->windowTitle(), QStringLiteral("Installed"));
    }

    void firstShowRefreshesWithoutForce()
    {
        Window w;
        QVERIFY(w.store->catalogForces.isEmpty());
        QVERIFY(w.show());
        QCOMPARE(w.store->catalogForces, QList<bool>{false});
        QVERIFY(w.model->lastRefresh().has_value());
        // Showing again is not a first appearance.
        w.view->hide();
        w.view->show();
        QCOMPARE(w.store->catalogForces, QList<bool>{false});
    }

    void clearedSelectionKeepsInstalledList()
    {
        Window w;
        QVERIFY(w.show());
        w.clickSidebar(SidebarItem::Doctor);
        QCOMPARE(w.view->section(), std::optional(SidebarItem::Doctor));
        QVERIFY(qobject_cast<DoctorView *>(w.view->contentScreen()));
        QCOMPARE(w.view->windowTitle(), QStringLiteral("Doctor"));

        // Ctrl-click on the selected row clears the sidebar's selection.
        w.clickSidebar(SidebarItem::Doctor, Qt::ControlModifier);
        QCOMPARE(w.view->section(), std::nullopt);
        QVERIFY(w.view->sidebar()->selectionModel()->selectedIndexes().isEmpty());
        QVERIFY(w.list());
        QCOMPARE(w.view->windowTitle(), QStringLiteral("Installed"));
    }

    void upgradesBadge_data()
    {
        QTest::addColumn<int>("outdated");
        QTest::addColumn<QVariant>("badge");
        QTest::addRow("no outdated packages, no badge") << 0 << QVariant();
        QTest::addRow("twelve outdated packages") << 12 << QVariant(QStringLiteral("12"));
    }

    void upgradesBadge()
    {
        QFETCH(int, outdated);
        QFETCH(QVariant, badge);
        Window w;
        w.store->outdatedList = GuiTestSupport::outdatedItems(outdated);
        QVERIFY(w.show());
        SidebarModel *model = w.view->sidebarModel();
        QCOMPARE(model->data(model->indexOf(SidebarItem::Upgrades), SidebarModel::BadgeRole), badge);
        // No other row ever carries one.
        for (SidebarItem item : allSidebarItems()) {
            if (item != SidebarItem::Upgrades)
                QVERIFY(!model->data(model->indexOf(item), SidebarModel::BadgeRole).isValid());
        }
    }

    void badgeFollowsTheModel()
    {
        Window w;
        QVERIFY(w.show());
        SidebarModel *model = w.view->sidebarModel();
        const QModelIndex upgrades = model->indexOf(SidebarItem::Upgrades);
        QVERIFY(!model->data(upgrades, SidebarModel::BadgeRole).isValid());
        w.store->outdatedList = GuiTestSupport::outdatedItems(12);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        w.view->refresh();
        QTRY_VERIFY(!w.model->isLoading());
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model->data(upgrades, SidebarModel::BadgeRole).toString(), QStringLiteral("12"));
        QCOMPARE(model->data(upgrades, Qt::AccessibleTextRole).toString(), QStringLiteral("Upgrades, 12"));
    }

    void refreshDisabledAndSpinnerWhileLoading()
    {
        Window w;
        w.store->hold();
        QVERIFY(w.show());
        QVERIFY(w.model->isLoading());
        QVERIFY(!w.view->refreshAction()->isEnabled());
        QVERIFY(!w.view->refreshButton()->isEnabled());
        QVERIFY(visibleIn(w.view->statusRow()->spinner(), w.view.get()));
        QVERIFY(w.view->statusRow()->spinner()->isSpinning());

        w.store->release();
        QTRY_VERIFY(!w.model->isLoading());
        QVERIFY(w.view->refreshButton()->isEnabled());
        QVERIFY(!visibleIn(w.view->statusRow()->spinner(), w.view.get()));

        // Refresh forces the index to be read again, and disables itself.
        w.store->hold();
        QTest::mouseClick(w.view->refreshButton(), Qt::LeftButton);
        QCOMPARE(w.store->catalogForces, (QList<bool>{false, true}));
        QVERIFY(!w.view->refreshButton()->isEnabled());
        QVERIFY(visibleIn(w.view->statusRow()->spinner(), w.view.get()));
        w.store->release();
        QTRY_VERIFY(w.view->refreshButton()->isEnabled());
    }

    void installOpensWithTheSelection_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("byShortcut");
        QTest::addRow("nothing selected, button") << QString() << false;
        QTest::addRow("nothing selected, Ctrl+I") << QString() << true;
        QTest::addRow("jq selected, button") << QStringLiteral("jq") << false;
        QTest::addRow("jq selected, Ctrl+I") << QStringLiteral("jq") << true;
    }

    void installOpensWithTheSelection()
    {
        QFETCH(QString, selected);
        QFETCH(bool, byShortcut);
        Window w;
        QVERIFY(w.show());
        QApplication::setActiveWindow(w.view.get());
        QVERIFY(QTest::qWaitForWindowActive(w.view.get()));
        if (!selected.isEmpty())
            w.clickPackage(selected);
        QCOMPARE(w.view->selectedPackage().value_or(QString()), selected);

        if (byShortcut)
            QTest::keyClick(w.view.get(), Qt::Key_I, Qt::ControlModifier);
        else
            QTest::mouseClick(w.view->installButton(), Qt::LeftButton);
        QVERIFY(w.view->showingInstall());
        QCOMPARE(w.view->installTarget(), selected);
        auto *sheet = qobject_cast<InstallSheet *>(w.view->installSheet());
        QVERIFY(sheet);
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->packageName(), selected);
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);

        sheet->reject();
        QVERIFY(!w.view->showingInstall());
        QTRY_VERIFY(!w.view->installSheet());
    }

    void alertFollowsTheErrorMessage()
    {
        Window w;
        QVERIFY(w.show());
        QVERIFY(!w.view->alert());

        w.model->setErrorMessage(QStringLiteral("`zelk` exited with status 1."));
        QMessageBox *alert = w.view->alert();
        QVERIFY(alert);
        QVERIFY(alert->isVisible());
        QCOMPARE(alert->text(), QStringLiteral("zelk error"));
        QCOMPARE(alert->windowTitle(), QStringLiteral("zelk error"));
        QCOMPARE(alert->informativeText(), QStringLiteral("`zelk` exited with status 1."));
        QCOMPARE(alert->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));

        // The message it shows follows the model while it is up.
        w.model->setErrorMessage(QStringLiteral("Could not read `zelk` output: x"));
        QCOMPARE(w.view->alert(), alert);
        QCOMPARE(alert->informativeText(), QStringLiteral("Could not read `zelk` output: x"));

        QTest::mouseClick(alert->button(QMessageBox::Ok), Qt::LeftButton);
        QCOMPARE(w.model->errorMessage(), std::nullopt);
        QVERIFY(!w.view->alert());

        // It stays away through other changes, until a new error arrives.
        w.view->refresh();
        QTRY_VERIFY(!w.model->isLoading());
        QVERIFY(!w.view->alert());
        w.model->setErrorMessage(QStringLiteral("again"));
        QVERIFY(w.view->alert());
        QVERIFY(w.view->alert()->isVisible());
    }

    void dismissingTheAlertAnyWayClearsTheMessage()
    {
        Window w;
        QVERIFY(w.show());
        w.model->setErrorMessage(QStringLiteral("boom"));
        QVERIFY(w.view->alert());
        QTest::keyClick(w.view->alert(), Qt::Key_Escape);
        QCOMPARE(w.model->errorMessage(), std::nullopt);
        QVERIFY(!w.view->alert());
    }

    void aNewRefreshTakesTheAlertAway()
    {
        Window w;
        QVERIFY(w.show());
        w.model->setErrorMessage(QStringLiteral("boom"));
        QPointer<QMessageBox> alert = w.view->alert();
        QVERIFY(alert);
        w.store->hold();
        w.view->refresh();
        QCOMPARE(w.model->errorMessage(), std::nullopt);
        QVERIFY(!w.view->alert());
        QTRY_VERIFY(!alert);
        w.store->release();
        QTRY_VERIFY(!w.model->isLoading());
    }

    void failingRefreshShowsTheAlert()
    {
        Window w;
        w.store->fail(FakeStore::Query::Status, ZelkKit::ZelkCLIError::commandFailed(1, QString()));
        QVERIFY(w.show());
        QVERIFY(w.view->alert());
        QCOMPARE(w.view->alert()->informativeText(), *w.model->errorMessage());
    }

    void compatibilityText_data()
    {
        QTest::addColumn<CompatibilityIssue>("issue");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::addRow("too new, 3 and 2")
            << CompatibilityIssue::tooNew(3, 2)
            << QStringLiteral("The installed zelk speaks protocol 3; this ReveZE understands 2. Please update ReveZE.")
            << QStringLiteral("本机 zelk 的协议号是 3，本界面只认到 2。请升级 ReveZE。");
        QTest::addRow("missing two capabilities, in their order")
            << CompatibilityIssue::missingCapabilities(QStringLiteral("0.8.0"),
                                                       {QStringLiteral("json-progress"), QStringLiteral("status")})
            << QStringLiteral("zelk 0.8.0 is missing json-progress, status. Run `zelk selfupdate`.")
            << QStringLiteral("zelk 0.8.0 缺少能力：json-progress, status。请先运行 `zelk selfupdate`。");
    }

    void compatibilityText()
    {
        QFETCH(CompatibilityIssue, issue);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        Localizer l(AppLanguage::English, {&settings, QStringList{QStringLiteral("en")}});
        QCOMPARE(StatusBar::compatibilityText(issue, l), english);
        l.setLanguage(AppLanguage::ChineseSimplified);
        QCOMPARE(StatusBar::compatibilityText(issue, l), chinese);
    }

    void compatibilityTakesThePlaceOfTheTime()
    {
        Window w;
        w.store->version.protocolNumber = 3;
        QVERIFY(w.show());
        QVERIFY(w.model->lastRefresh().has_value());
        StatusBar *bar = w.view->statusRow();
        QVERIFY(visibleIn(bar->compatibilityItem(), w.view.get()));
        QVERIFY(!visibleIn(bar->updatedLabel(), w.view.get()));
        QVERIFY(!visibleIn(bar->setupErrorLabel(), w.view.get()));
        QCOMPARE(bar->compatibilityLabel()->text(),
                 QStringLiteral("The installed zelk speaks protocol 3; this ReveZE understands 1. Please update ReveZE."));
        QCOMPARE(bar->compatibilityLabel()->palette().color(QPalette::WindowText), Palette::orange());

        // Once zelk fits again, the time of the refresh is back.
        w.store->version.protocolNumber = 1;
        w.view->refresh();
        QTRY_VERIFY(!w.model->isLoading());
        QVERIFY(!visibleIn(bar->compatibilityItem(), w.view.get()));
        QVERIFY(visibleIn(bar->updatedLabel(), w.view.get()));
        QCOMPARE(bar->updatedLabel()->text(),
                 QStringLiteral("Updated ") + StatusBar::timeText(*w.model->lastRefresh()));
        QCOMPARE(bar->updatedLabel()->palette().color(QPalette::WindowText), Palette::zelkSecondary(bar->palette()));
    }

    void countsInTheStatusBar()
    {
        Window w;
        QVERIFY(w.show());
        QCOMPARE(w.view->statusRow()->installedLabel()->text(), QStringLiteral("3 installed"));
        QCOMPARE(w.view->statusRow()->indexLabel()->text(), QStringLiteral("2 in the index"));
    }

    void setupErrorInRedWhenNoRefreshCompleted()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        const QByteArray previous = qgetenv("REVEZE_ZELK");
        qputenv("REVEZE_ZELK", QFile::encodeName(dir.filePath(QStringLiteral("no-such-zelk"))));
        AppModel model;
        if (previous.isEmpty())
            qunsetenv("REVEZE_ZELK");
        else
            qputenv("REVEZE_ZELK", previous);
        QVERIFY(model.setupError().has_value());
        Localizer l(AppLanguage::English, {&settings, QStringList{QStringLiteral("en")}});
        ContentView view(model, l);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        StatusBar *bar = view.statusRow();
        QVERIFY(visibleIn(bar->setupErrorLabel(), &view));
        QVERIFY(!visibleIn(bar->updatedLabel(), &view));
        QCOMPARE(bar->setupErrorLabel()->text(), AppModel::notFoundText());
        QCOMPARE(bar->setupErrorLabel()->palette().color(QPalette::WindowText), Palette::red());
        // The first refresh copied the setup error into the alert.
        QVERIFY(view.alert());
        QCOMPARE(view.alert()->informativeText(), AppModel::notFoundText());
        QVERIFY(!view.refreshButton()->isEnabled() == model.isLoading());
    }

    void choosingChineseTurnsTheWindowChinese()
    {
        Window w;
        QVERIFY(w.show());
        QComboBox *combo = w.view->languagePicker()->comboBox();
        QCOMPARE(combo->currentText(), QStringLiteral("English"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), QStringLiteral("简体中文"));

        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(w.l->language(), AppLanguage::ChineseSimplified);
        QCOMPARE(w.settings.value(QStringLiteral("ReveZE.language")).toString(), QStringLiteral("zh-Hans"));

        SidebarModel *sidebar = w.view->sidebarModel();
        QStringList titles;
        for (SidebarItem item : allSidebarItems())
            titles.append(sidebar->data(sidebar->indexOf(item), Qt::DisplayRole).toString());
        QCOMPARE(titles, (QStringList{QStringLiteral("已安装"), QStringLiteral("升级"), QStringLiteral("浏览索引"),
                                      QStringLiteral("诊断"), QStringLiteral("配置")}));
        QCOMPARE(w.view->installAction()->text(), QStringLiteral("安装…"));
        QCOMPARE(w.view->installAction()->toolTip(), QStringLiteral("用 zelk 安装一个软件包"));
        QCOMPARE(w.view->refreshAction()->text(), QStringLiteral("刷新"));
        QCOMPARE(w.view->refreshAction()->toolTip(), QStringLiteral("重新读取已安装列表与软件包索引"));
        QCOMPARE(w.view->refreshButton()->accessibleName(), QStringLiteral("刷新"));
        QCOMPARE(w.view->statusRow()->installedLabel()->text(), QStringLiteral("已安装 3 个"));
        QCOMPARE(w.view->statusRow()->indexLabel()->text(), QStringLiteral("索引共 2 个"));
        QVERIFY(w.view->statusRow()->updatedLabel()->text().startsWith(QStringLiteral("更新于 ")));
        QCOMPARE(w.view->windowTitle(), QStringLiteral("已安装"));
        QCOMPARE(combo->accessibleName(), QStringLiteral("语言"));
        auto *placeholder = qobject_cast<SelectPackageView *>(w.view->detailWidget());
        QVERIFY(placeholder);
        QCOMPARE(placeholder->titleLabel()->text(), QStringLiteral("选择一个软件包"));
        QCOMPARE(placeholder->detailLabel()->text(), QStringLiteral("在左侧选一个软件包查看详情。"));
        QCOMPARE(w.list()->countLabel()->text(), QStringLiteral("3 个软件包"));

        // And back.
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(w.view->refreshAction()->text(), QStringLiteral("Refresh"));
    }

    void everyControlHasANameInTheLanguageInUse_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::addRow("English") << AppLanguage::English;
        QTest::addRow("Chinese") << AppLanguage::ChineseSimplified;
    }

    void everyControlHasANameInTheLanguageInUse()
    {
        QFETCH(AppLanguage, language);
        Window w;
        w.store->hold();
        QVERIFY(w.show());
        w.l->setLanguage(language);
        // Some text typed so that the clear button is there too.
        QTest::keyClicks(w.list()->searchBar()->field(), QStringLiteral("j"));
        w.model->setErrorMessage(QStringLiteral("boom"));
        QList<QWidget *> controls;
        for (QWidget *widget : w.view->findChildren<QWidget *>()) {
            if (!widget->isVisibleTo(w.view.get()))
                continue;
            if (qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget)
                || qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractItemView *>(widget))
                controls.append(widget);
        }
        for (QWidget *widget : w.view->alert()->findChildren<QAbstractButton *>()) {
            if (widget->isVisibleTo(w.view->alert()))
                controls.append(widget);
        }
        QVERIFY(controls.size() >= 12);
        for (QWidget *control : std::as_const(controls)) {
            const QString what = QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(' ')
                                 + control->objectName();
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(what));
            // A line edit inside a combo box is the combo's own.
            if (!qobject_cast<QComboBox *>(control->parentWidget()))
                QVERIFY2(!control->objectName().isEmpty(), qPrintable(what));
        }
        const bool chinese = language == AppLanguage::ChineseSimplified;
        QCOMPARE(w.list()->searchBar()->field()->accessibleName(),
                 chinese ? QStringLiteral("筛选已安装的软件包") : QStringLiteral("Filter installed packages"));
        QCOMPARE(w.view->alert()->button(QMessageBox::Ok)->accessibleName(),
                 chinese ? QStringLiteral("确定") : QStringLiteral("OK"));
        w.store->release();
        QTRY_VERIFY(!w.model->isLoading());
    }

    void detailFollowsTheSelection()
    {
        Window w;
        QVERIFY(w.show());
        QVERIFY(qobject_cast<SelectPackageView *>(w.view->detailWidget()));
        w.clickPackage(QStringLiteral("jq"));
        auto *first = qobject_cast<PackageDetailView *>(w.view->detailWidget());
        QVERIFY(first);
        QCOMPARE(first->packageName(), QStringLiteral("jq"));
        QCOMPARE(w.view->windowTitle(), QStringLiteral("jq"));

        // Another section keeps the detail on screen.
        w.clickSidebar(SidebarItem::Doctor);
        QCOMPARE(w.view->detailWidget(), first);
        QCOMPARE(w.view->windowTitle(), QStringLiteral("jq"));

        // Another package replaces the detail with a new one.
        w.clickSidebar(SidebarItem::Installed);
        QPointer<QWidget> old = first;
        w.clickPackage(QStringLiteral("curl"));
        auto *second = qobject_cast<PackageDetailView *>(w.view->detailWidget());
        QVERIFY(second);
        QCOMPARE(second->packageName(), QStringLiteral("curl"));
        QTRY_VERIFY(!old);
    }
    void screenPutsItsWidgetIntoTheToolbarWhileShown()
    {
        Window w;
        QPointer<ProbeScreen> probe;
        w.view->setScreenMaker(probeAsDiscover(*w.view, probe, *w.model, *w.l));
        QVERIFY(w.show());
        QCOMPARE(w.view->screenToolbarSlot()->findChildren<QLineEdit *>().size(), 0);

        w.clickSidebar(SidebarItem::Discover);
        QVERIFY(probe);
        auto *field = w.view->toolbar()->findChild<QLineEdit *>(QStringLiteral("probeField"));
        QVERIFY(field);
        QCOMPARE(field->parentWidget(), w.view->screenToolbarSlot());
        QVERIFY(field->isVisibleTo(w.view.get()));

        // The widget goes with its screen.
        w.clickSidebar(SidebarItem::Doctor);
        QVERIFY(!field->isVisibleTo(w.view.get()));
        QTRY_VERIFY(!probe);
        QVERIFY(!w.view->toolbar()->findChild<QLineEdit *>(QStringLiteral("probeField")));
    }

    void screenSharesTheWindowsSelection()
    {
        Window w;
        QPointer<ProbeScreen> probe;
        w.view->setScreenMaker(probeAsDiscover(*w.view, probe, *w.model, *w.l));
        QVERIFY(w.show());
        QTRY_VERIFY(!w.model->isLoading());
        w.clickPackage(QStringLiteral("curl"));

        w.clickSidebar(SidebarItem::Discover);
        QVERIFY(probe);
        QCOMPARE(probe->selection, std::optional<QString>(QStringLiteral("curl")));
        // A package that is not installed, picked on this screen, is the
        // window's selection and the detail's package.
        probe->pick(QStringLiteral("ripgrep"));
        QCOMPARE(w.view->selectedPackage(), std::optional<QString>(QStringLiteral("ripgrep")));
        auto *detail = qobject_cast<PackageDetailView *>(w.view->detailWidget());
        QVERIFY(detail);
        QCOMPARE(detail->packageName(), QStringLiteral("ripgrep"));

        w.clickSidebar(SidebarItem::Installed);
        QVERIFY(w.list());
        QCOMPARE(w.list()->selection(), std::optional<QString>(QStringLiteral("ripgrep")));
    }

    void screenOpensTheInstallSheetThroughTheWindow()
    {
        Window w;
        QPointer<ProbeScreen> probe;
        w.view->setScreenMaker(probeAsDiscover(*w.view, probe, *w.model, *w.l));
        QVERIFY(w.show());
        w.clickSidebar(SidebarItem::Discover);
        QVERIFY(probe);

        probe->askForSheet(QStringLiteral("ffmpeg"), ZelkKit::ZelkOperation::Upgrade, false);
        auto *sheet = qobject_cast<InstallSheet *>(w.view->installSheet());
        QVERIFY(sheet);
        QVERIFY(w.view->showingInstall());
        QCOMPARE(sheet->packageName(), QStringLiteral("ffmpeg"));
        QCOMPARE(sheet->operation(), ZelkKit::ZelkOperation::Upgrade);
        QVERIFY(!sheet->upgradingAll());

        // One sheet at a time: a second request while it is open changes nothing.
        probe->askForSheet(QString(), ZelkKit::ZelkOperation::Upgrade, true);
        QCOMPARE(w.view->installSheet(), sheet);
        QCOMPARE(sheet->packageName(), QStringLiteral("ffmpeg"));

        sheet->reject();
        QTRY_VERIFY(!w.view->installSheet());
        probe->askForSheet(QString(), ZelkKit::ZelkOperation::Upgrade, true);
        auto *all = qobject_cast<InstallSheet *>(w.view->installSheet());
        QVERIFY(all);
        QCOMPARE(all->packageName(), QString());
        QVERIFY(all->upgradingAll());
        all->reject();

        // The toolbar's Install opens it to install, for the selection.
        QTRY_VERIFY(!w.view->installSheet());
        w.view->install();
        auto *install = qobject_cast<InstallSheet *>(w.view->installSheet());
        QVERIFY(install);
        QCOMPARE(install->operation(), ZelkKit::ZelkOperation::Install);
        QVERIFY(!install->upgradingAll());
        install->reject();
    }

    // Un-minimising the window shows the screens again through the window
    // system; their first load must not run again.
    void spontaneousShowDoesNotCountAsAnAppearance()
    {
        Window w;
        QPointer<ProbeScreen> probe;
        w.view->setScreenMaker(probeAsDiscover(*w.view, probe, *w.model, *w.l));
        QVERIFY(w.show());
        w.clickSidebar(SidebarItem::Discover);
        QVERIFY(probe);
        QTRY_COMPARE(probe->appearances, 1);

        QShowEvent fromWindowSystem;
        QSpontaneKeyEvent::setSpontaneous(&fromWindowSystem);
        // notify(), not sendEvent(), which would clear the flag.
        qApp->notify(probe.data(), &fromWindowSystem);
        QCOMPARE(probe->appearances, 1);
    }

    // A GUI test cannot reach a real zelk: the locator finds the tripwire,
    // the test store's own CLI is the tripwire, and the tripwire ends
    // whatever started it.
    void guiTestsCannotStartARealZelk()
    {
        AppModel located;
        QVERIFY(located.store());
        QCOMPARE(located.store()->cli().executable(), GuiTestSupport::tripwireZelk());
        FakeStore store;
        QCOMPARE(store.cli().executable(), GuiTestSupport::tripwireZelk());

        QProcess shell;
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), GuiTestSupport::tripwireZelk() + QStringLiteral(" version; echo survived")});
        QVERIFY(shell.waitForFinished(10000));
        QCOMPARE(shell.exitStatus(), QProcess::CrashExit);
        QVERIFY(!shell.readAllStandardOutput().contains("survived"));
        QVERIFY(shell.readAllStandardError().contains("a GUI test started zelk: version"));
    }
    // Texts from zelk reach labels as they are: markup in them is shown
    // literally and nothing in them is followed.
    void markupFromZelkShowsAsLiteralText()
    {
        UrlRecorder urls;
        const QString version = QStringLiteral("<img src=\"file:///etc/passwd\"><b>0.9</b>");
        const QString message = QStringLiteral("<a href=\"https://example.invalid/\">click</a> <img src=\"file:///etc/passwd\">");
        Window w;
        w.store->version.version = version;
        w.store->version.capabilities.clear();
        QVERIFY(w.show());
        QTRY_VERIFY(!w.model->isLoading());

        QLabel *compatibility = w.view->statusRow()->compatibilityLabel();
        QVERIFY(compatibility->text().contains(version));
        QCOMPARE(compatibility->textFormat(), Qt::PlainText);
        QVERIFY(compatibility->sizeHint().width() >= compatibility->fontMetrics().horizontalAdvance(compatibility->text()));

        w.model->setErrorMessage(message);
        QMessageBox *alert = w.view->alert();
        QVERIFY(alert);
        auto *text = alert->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
        QVERIFY(text);
        QCOMPARE(text->text(), message);
        QCOMPARE(text->textFormat(), Qt::PlainText);
        QVERIFY(!text->openExternalLinks());
        QVERIFY(text->sizeHint().width() >= text->fontMetrics().horizontalAdvance(QStringLiteral("<a href=")));
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(4, text->height() / 2));
        QVERIFY(urls.opened.isEmpty());
    }

    // Every label of every screen shows plain text: a label left to guess
    // would render markup that arrives from zelk, the index or the user.
    void everyLabelOfEveryScreenIsPlainText()
    {
        Window w;
        QVERIFY(w.show());
        QTRY_VERIFY(!w.model->isLoading());
        w.model->setErrorMessage(QStringLiteral("boom"));
        const SidebarItem sections[] = {SidebarItem::Installed, SidebarItem::Upgrades, SidebarItem::Discover,
                                        SidebarItem::Doctor, SidebarItem::Config};
        for (const std::optional<QString> &selection : {std::optional<QString>(), std::optional<QString>(QStringLiteral("jq"))}) {
            w.view->setSelectedPackage(selection);
            for (SidebarItem section : sections) {
                w.view->setSection(section);
                QTest::qWait(0);
                for (QLabel *label : w.view->findChildren<QLabel *>()) {
                    if (label->text().isEmpty())
                        continue;
                    QVERIFY2(label->textFormat() == Qt::PlainText,
                             qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
                }
            }
        }
    }
};

REVEZE_GUI_TEST_MAIN(TestContentView)

#include "tst_contentview.moc"
