// The package detail through its widgets, over a canned store: an installed
// package, a dependency, a package that is not installed; the load (while it
// runs, when it fails, when the detail goes away, how many run at once);
// Copy and Copied; the value-column highlight; a refresh updating the rows;
// the quoted uninstall command and the homepage that is only sometimes a
// link; and a hub with thousands of names.

#include "AppModel.h"
#include "Localizer.h"
#include "detail/DetailBox.h"
#include "detail/InfoLoadQueue.h"
#include "detail/InstallReasonText.h"
#include "detail/KindBadge.h"
#include "detail/NameListModel.h"
#include "detail/NameListView.h"
#include "detail/PackageDetailView.h"
#include "detail/ValueColumnHighlight.h"
#include "detail/WrappedText.h"
#include "widgets/CharWrappingText.h"
#include "widgets/Palette.h"
#include "widgets/SymbolLabel.h"

#include "GuiTestSupport.h"

#include <ProcessRegistry.h>

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace ReveZE;
using namespace std::chrono_literals;
using GuiTestSupport::FakeStore;
using GuiTestSupport::detail;
using ZelkKit::InstalledDetail;
using ZelkKit::PackageInfo;
using Query = FakeStore::Query;

namespace {

InstalledDetail jq()
{
    InstalledDetail package = detail(QStringLiteral("jq"), QStringLiteral("1.7.1"));
    package.installedAt = QStringLiteral("2024-03-09T08:15:00Z");
    package.arch = QStringLiteral("arm64");
    package.commands = {QStringLiteral("jq")};
    package.source = QStringLiteral("packages");
    package.sizeBytes = 1500000;
    package.deps = {QStringLiteral("oniguruma@6.9.9"), QStringLiteral("libz@1.3")};
    package.installedByUser = InstallReasonText::currentUser();
    return package;
}

PackageInfo infoOf(const QString &name)
{
    PackageInfo info;
    info.name = name;
    info.description = QStringLiteral("Lightweight and flexible command-line JSON processor");
    info.author = QStringLiteral("The jq developers");
    info.available = {QStringLiteral("1.8.0"), QStringLiteral("1.7.1")};
    info.license = QStringLiteral("MIT");
    info.homepage = QStringLiteral("https://jqlang.example.org/");
    return info;
}

// zelk's order: bat and aaa-tool depend on ripgrep, which is not installed.
QList<InstalledDetail> fixturePackages()
{
    InstalledDetail bat = detail(QStringLiteral("bat"), QStringLiteral("0.24.0"));
    bat.deps = {QStringLiteral("oniguruma@6.9.9"), QStringLiteral("ripgrep@14.1.0")};
    InstalledDetail aaa = detail(QStringLiteral("aaa-tool"), QStringLiteral("1.0"));
    aaa.deps = {QStringLiteral("ripgrep")};
    InstalledDetail oniguruma = detail(QStringLiteral("oniguruma"), QStringLiteral("6.9.9"), true);
    return {jq(), bat, oniguruma, aaa};
}

struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    FakeStore *store = new FakeStore;
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(store);
    std::unique_ptr<Localizer> l = std::make_unique<Localizer>(
        AppLanguage::English, Localizer::Environment{&settings, QStringList{QStringLiteral("en-US")}});
    std::unique_ptr<PackageDetailView> view;

    Fixture()
    {
        store->installStatus = GuiTestSupport::statusOf(fixturePackages());
        store->infos.insert(QStringLiteral("jq"), infoOf(QStringLiteral("jq")));
        PackageInfo ripgrep = infoOf(QStringLiteral("ripgrep"));
        ripgrep.description = QStringLiteral("Search tool like grep");
        ripgrep.available = {QStringLiteral("14.1.0")};
        store->infos.insert(QStringLiteral("ripgrep"), ripgrep);
        store->infos.insert(QStringLiteral("oniguruma"), infoOf(QStringLiteral("oniguruma")));
        TestSupport::await(model->refresh(false));
    }

    ~Fixture()
    {
        store->release();
        view.reset();
        QCoreApplication::processEvents();
    }

    // The detail of `name`, shown; with `loaded` it has its information.
    PackageDetailView *show(const QString &name, bool loaded = true)
    {
        view = std::make_unique<PackageDetailView>(*model, *l, name);
        view->resize(560, 900);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            return nullptr;
        if (loaded && !QTest::qWaitFor([&] { return view->isLoaded(); }))
            return nullptr;
        return view.get();
    }
};

QString rowText(const PackageDetailView *view, DetailRow row)
{
    return view->showsRow(row) ? view->rowValue(row)->text() : QString();
}

// The row is shown or hidden as a whole: label and value.
bool rowShown(const PackageDetailView *view, DetailRow row)
{
    const bool label = view->rowLabel(row)->isVisibleTo(view);
    const bool value = view->rowCell(row)->isVisibleTo(view);
    return label && value;
}

QRectF frameIn(QWidget *widget, QWidget *space)
{
    return QRectF(QRect(widget->mapTo(space, QPoint(0, 0)), widget->size()));
}

// Takes the addresses of one scheme that would be opened, while it exists.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    explicit UrlCatcher(QString scheme) : m_scheme(std::move(scheme))
    {
        QDesktopServices::setUrlHandler(m_scheme, this, "open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(m_scheme); }

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }

private:
    QString m_scheme;
};

} // namespace

class TestPackageDetail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        PackageDetailView::setRestDelay(0ms);
    }

    void installedPackage()
    {
        Fixture f;
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        QCOMPARE(view->navigationTitle(), QStringLiteral("jq"));
        QCOMPARE(view->titleText()->text(), QStringLiteral("jq"));
        QVERIFY(view->kindBadge()->isVisibleTo(view));
        QCOMPARE(view->kindBadge()->text(), QStringLiteral("PACKAGE"));
        QVERIFY(view->linkedMark()->isVisibleTo(view));
        QCOMPARE(view->linkedMark()->colour(), Palette::green());
        QCOMPARE(view->descriptionText()->text(), infoOf(u"jq"_qs).description.value());
        QVERIFY(!view->errorText()->isVisibleTo(view));
        QCOMPARE(view->authorText()->text(), QStringLiteral("The jq developers"));

        for (DetailRow row : DetailRows::all())
            QVERIFY2(rowShown(view, row), qPrintable(DetailRows::rawName(row)));
        QCOMPARE(view->rowLabel(DetailRow::Installed)->text(), QStringLiteral("Installed"));
        QCOMPARE(rowText(view, DetailRow::Installed), QStringLiteral("jq 1.7.1"));
        QCOMPARE(rowText(view, DetailRow::Latest), QStringLiteral("1.8.0"));
        QCOMPARE(rowText(view, DetailRow::Reason),
                 QStringLiteral("Installed by user %1 (you)").arg(InstallReasonText::currentUser()));
        QCOMPARE(rowText(view, DetailRow::Size), QStringLiteral("1.5 MB"));
        QCOMPARE(rowText(view, DetailRow::Path), QStringLiteral("/opt/rurirud/pkgs/jq/1.7.1"));

        // Each entry exactly as zelk printed it.
        QCOMPARE(view->dependenciesBox()->title(), QStringLiteral("Dependencies (2)"));
        QVERIFY(view->dependenciesList()->isVisibleTo(view));
        QCOMPARE(view->dependenciesList()->names(), (QStringList{u"oniguruma@6.9.9"_qs, u"libz@1.3"_qs}));
        QVERIFY(!view->noDependenciesLabel()->isVisibleTo(view));
        QCOMPARE(view->dependentsBox()->title(), QStringLiteral("Required by"));
        QVERIFY(view->noDependentsLabel()->isVisibleTo(view));
        QCOMPARE(view->noDependentsLabel()->text(), QStringLiteral("Nothing depends on it."));

        QVERIFY(view->uninstallBox()->isVisibleTo(view));
        QCOMPARE(view->uninstallBox()->title(), QStringLiteral("Uninstall"));
        QVERIFY(view->commandRow()->isVisibleTo(view));
        QVERIFY(!view->lockRow()->isVisibleTo(view));
        QCOMPARE(view->commandText()->text(), QStringLiteral("zelk uninstall jq"));
        QVERIFY(view->commandText()->isSelectable());
        QCOMPARE(view->copyButton()->text(), QStringLiteral("Copy"));
        QCOMPARE(f.store->infoRequests, QStringList{u"jq"_qs});
    }

    void dependencyShowsTheLockText()
    {
        Fixture f;
        PackageDetailView *view = f.show(QStringLiteral("oniguruma"));
        QVERIFY(view);
        QCOMPARE(view->kindBadge()->text(), QStringLiteral("DEPENDENCY"));
        QCOMPARE(rowText(view, DetailRow::Reason), QStringLiteral("Brought in as a dependency"));
        QVERIFY(view->uninstallBox()->isVisibleTo(view));
        QVERIFY(view->lockRow()->isVisibleTo(view));
        QVERIFY(!view->commandRow()->isVisibleTo(view));
        QVERIFY(!view->copyButton()->isVisibleTo(view));
        QCOMPARE(view->lockText()->text(), Localizer::tableText(AppLanguage::English, L::dependencyNotRemovable).value());
        // Sorted by code point, duplicates of a name kept apart.
        QCOMPARE(view->dependents(), (QStringList{u"bat"_qs, u"jq"_qs}));
        QCOMPARE(view->dependentsList()->names(), view->dependents());
        QCOMPARE(view->dependenciesBox()->title(), QStringLiteral("Dependencies (0)"));
        QVERIFY(view->noDependenciesLabel()->isVisibleTo(view));
        QCOMPARE(view->noDependenciesLabel()->text(), QStringLiteral("—"));
    }

    void packageThatIsNotInstalled()
    {
        Fixture f;
        PackageDetailView *view = f.show(QStringLiteral("ripgrep"));
        QVERIFY(view);
        QVERIFY(!view->kindBadge()->isVisibleTo(view));
        QVERIFY(!view->linkedMark()->isVisibleTo(view));
        QCOMPARE(view->descriptionText()->text(), QStringLiteral("Search tool like grep"));
        QList<DetailRow> shown;
        for (DetailRow row : DetailRows::all()) {
            if (rowShown(view, row))
                shown.append(row);
        }
        QCOMPARE(shown, (QList<DetailRow>{DetailRow::Latest, DetailRow::License, DetailRow::Homepage}));
        QCOMPARE(rowText(view, DetailRow::Latest), QStringLiteral("14.1.0"));
        QCOMPARE(view->dependenciesBox()->title(), QStringLiteral("Dependencies (0)"));
        QVERIFY(view->noDependenciesLabel()->isVisibleTo(view));
        // Installed packages depend on it all the same.
        QCOMPARE(view->dependentsList()->names(), (QStringList{u"aaa-tool"_qs, u"bat"_qs}));
        QVERIFY(!view->noDependentsLabel()->isVisibleTo(view));
        QVERIFY(!view->uninstallBox()->isVisibleTo(view));
    }

    void reasonAgainstTheLoginName_data()
    {
        QTest::addColumn<bool>("requested");
        QTest::addColumn<std::optional<QString>>("user");
        QTest::addColumn<QString>("reason");
        const QString me = InstallReasonText::currentUser();
        QTest::addRow("you") << true << std::optional(me) << QStringLiteral("Installed by user %1 (you)").arg(me);
        QTest::addRow("another user") << true << std::optional(me + u"-other"_qs)
                                      << QStringLiteral("Installed by user %1-other").arg(me);
        QTest::addRow("unknown") << true << std::optional<QString>() << u"Installed by an unknown user"_qs;
        QTest::addRow("dependency") << false << std::optional(me) << u"Brought in as a dependency"_qs;
    }

    void reasonAgainstTheLoginName()
    {
        QFETCH(bool, requested);
        QFETCH(std::optional<QString>, user);
        QFETCH(QString, reason);
        Fixture f;
        f.store->installStatus.packages[0].requested = requested;
        f.store->installStatus.packages[0].installedByUser = user;
        TestSupport::await(f.model->refresh(true));
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        QCOMPARE(rowText(view, DetailRow::Reason), reason);
    }

    void whileLoading()
    {
        Fixture f;
        f.store->hold(Query::Info);
        PackageDetailView *view = f.show(QStringLiteral("jq"), false);
        QVERIFY(view);
        QTRY_COMPARE(f.store->infoRequests, QStringList{u"jq"_qs});
        QVERIFY(!view->isLoaded());
        QCOMPARE(rowText(view, DetailRow::Latest), QStringLiteral("—"));
        QVERIFY(!view->descriptionText()->isVisibleTo(view));
        QVERIFY(!view->errorText()->isVisibleTo(view));
        QVERIFY(!view->authorText()->isVisibleTo(view));
        QVERIFY(!rowShown(view, DetailRow::License));
        QVERIFY(!rowShown(view, DetailRow::Homepage));
        // What the install status knows shows at once.
        QCOMPARE(rowText(view, DetailRow::Installed), QStringLiteral("jq 1.7.1"));

        QSignalSpy loaded(view, &NavigationScreen::loadedChanged);
        f.store->release(Query::Info);
        QTRY_VERIFY(view->isLoaded());
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(rowText(view, DetailRow::Latest), QStringLiteral("1.8.0"));
        QVERIFY(view->descriptionText()->isVisibleTo(view));
        QVERIFY(rowShown(view, DetailRow::License));
    }

    void failedLoad()
    {
        Fixture f;
        f.store->fail(Query::Info, ZelkKit::ZelkCLIError::commandFailed(1, QStringLiteral("index unreadable")));
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        QVERIFY(!view->info());
        QCOMPARE(view->infoError(), std::optional(ZelkKit::ZelkCLIError::commandFailed(1, u"index unreadable"_qs)
                                                      .errorDescription()));
        QVERIFY(view->errorText()->isVisibleTo(view));
        QCOMPARE(view->errorText()->text(), *view->infoError());
        QCOMPARE(view->errorText()->colour(), Palette::red());
        QVERIFY(!view->descriptionText()->isVisibleTo(view));
        QCOMPARE(rowText(view, DetailRow::Latest), QStringLiteral("—"));
        QVERIFY(!rowShown(view, DetailRow::License));
        QVERIFY(!rowShown(view, DetailRow::Homepage));
        // The rest is unaffected.
        QVERIFY(rowShown(view, DetailRow::Installed));
        QVERIFY(view->commandRow()->isVisibleTo(view));
        QVERIFY(view->kindBadge()->isVisibleTo(view));
    }

    void copyAndCopied()
    {
        Fixture f;
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        view->setCopiedInterval(40ms);
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        QTest::mouseClick(view->copyButton(), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("zelk uninstall jq"));
        QVERIFY(view->isCopied());
        QCOMPARE(view->copyButton()->text(), QStringLiteral("Copied"));
        QCOMPARE(view->copyButton()->accessibleName(), QStringLiteral("Copied"));
        QCOMPARE(view->copyButtonSymbol(), QStringLiteral("checkmark"));
        QTRY_VERIFY(!view->isCopied());
        QCOMPARE(view->copyButton()->text(), QStringLiteral("Copy"));
        QCOMPARE(view->copyButtonSymbol(), QStringLiteral("doc.on.doc"));

        // A detail that goes away takes its pending timers with it.
        view->setCopiedInterval(20ms);
        view->copyUninstallCommand();
        f.view.reset();
        bool later = false;
        QTimer::singleShot(40ms, [&later] { later = true; });
        QTRY_VERIFY(later);
    }

    void copiedInChinese()
    {
        Fixture f;
        f.l->setLanguage(AppLanguage::ChineseSimplified);
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        QCOMPARE(view->copyButton()->text(), QStringLiteral("复制"));
        QCOMPARE(view->copyButton()->accessibleName(), QStringLiteral("复制"));
        view->copyUninstallCommand();
        QCOMPARE(view->copyButton()->text(), QStringLiteral("已复制"));
        QCOMPARE(view->kindBadge()->text(), QStringLiteral("软件包"));
        QCOMPARE(view->dependenciesBox()->title(), QStringLiteral("依赖 (2)"));
        // A switch of language redraws at once.
        f.l->setLanguage(AppLanguage::English);
        QCOMPARE(view->copyButton()->text(), QStringLiteral("Copied"));
        QCOMPARE(view->rowLabel(DetailRow::Latest)->text(), QStringLiteral("Latest"));
    }

    void highlightFramesTheValueColumn()
    {
        Fixture f;
        f.store->hold(Query::Info);
        PackageDetailView *view = f.show(QStringLiteral("jq"), false);
        QVERIFY(view);
        QWidget *grid = view->valueColumnGrid();
        QCOMPARE(grid->objectName(), PackageDetailView::valueColumnSpace.toString());
        ValueColumnHighlight *highlight = view->valueColumnHighlight();
        QVERIFY(highlight->testAttribute(Qt::WA_TransparentForMouseEvents));

        auto check = [&]() -> bool {
            QRectF expected;
            QList<DetailRow> shown;
            for (DetailRow row : DetailRows::all()) {
                if (view->showsRow(row)) {
                    expected = expected.united(frameIn(view->rowCell(row), grid));
                    shown.append(row);
                }
            }
            if (view->valueColumnFrame() != expected)
                return false;
            // 10 points beyond the first and the last shown row, as wide as the
            // column, holding every value with its padding.
            // The highlight sits beside the grid, in the Details box.
            const QPoint origin = grid->mapFrom(view, highlight->mapTo(view, QPoint(0, 0)));
            const QRectF covered = QRectF(QRect(origin, highlight->size()));
            if (shown.isEmpty())
                return false;
            const QRectF first = frameIn(view->rowCell(shown.first()), grid);
            const QRectF last = frameIn(view->rowCell(shown.last()), grid);
            return covered.top() == first.top() - 10 && covered.bottom() == last.bottom() + 10
                   && covered.left() == expected.left() && covered.width() == expected.width()
                   && highlight->isOpaque();
        };
        QTRY_VERIFY(check());
        const qreal before = view->valueColumnFrame().height();
        // The value cell carries its 10 points of padding on both sides.
        const QRect cell = view->rowCell(DetailRow::Path)->rect();
        const QRect text = view->rowValue(DetailRow::Path)->geometry();
        QCOMPARE(text.left(), cell.left() + 10);
        QCOMPARE(text.right(), cell.right() - 10);

        // License and Homepage arrive with the information: the frame grows.
        f.store->release(Query::Info);
        QTRY_VERIFY(view->isLoaded());
        QTRY_VERIFY(view->valueColumnFrame().height() > before);
        QTRY_VERIFY(check());

        // Clicks go through the highlight to the value beneath.
        const QPoint inPath = view->rowValue(DetailRow::Path)->rect().center();
        QVERIFY(view->rowValue(DetailRow::Path)->childAt(inPath) == nullptr);
        QCOMPARE(view->valueColumnGrid()->window()->childAt(view->rowValue(DetailRow::Path)->mapTo(view, inPath)),
                 view->rowValue(DetailRow::Path));
    }

    void highlightIsTransparentWithoutValues()
    {
        ValueColumnHighlight highlight;
        QVERIFY(!highlight.isOpaque());
        highlight.setColumnFrame(QRectF(20, 30, 200, 100));
        QVERIFY(highlight.isOpaque());
        QCOMPARE(highlight.highlightFrame(), QRectF(20, 20, 200, 120));
        QCOMPARE(highlight.geometry(), QRect(20, 20, 200, 120));
        highlight.setColumnFrame(QRectF());
        QVERIFY(!highlight.isOpaque());
    }

    void refreshUpdatesTheRowsAtOnce()
    {
        Fixture f;
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        InstalledDetail &package = f.store->installStatus.packages[0];
        package.version = QStringLiteral("1.8.0");
        package.kind = InstalledDetail::Kind::Dependency;
        package.requested = false;
        package.linked = false;
        package.commands.clear();
        package.deps = {QStringLiteral("libz@1.3")};
        f.store->installStatus.packages[1].deps.append(QStringLiteral("jq@1.8.0"));
        TestSupport::await(f.model->refresh(true));
        QCOMPARE(rowText(view, DetailRow::Installed), QStringLiteral("jq 1.8.0"));
        QCOMPARE(rowText(view, DetailRow::Reason), QStringLiteral("Brought in as a dependency"));
        QVERIFY(!rowShown(view, DetailRow::Commands));
        QCOMPARE(view->kindBadge()->text(), QStringLiteral("DEPENDENCY"));
        QVERIFY(!view->linkedMark()->isVisibleTo(view));
        QCOMPARE(view->dependenciesBox()->title(), QStringLiteral("Dependencies (1)"));
        QCOMPARE(view->dependentsList()->names(), QStringList{u"bat"_qs});
        QVERIFY(view->lockRow()->isVisibleTo(view));
        // No second load: the information stays as loaded.
        QCOMPARE(f.store->infoRequests.size(), 1);

        // Uninstalled by a refresh: the installed parts go.
        f.store->installStatus.packages.removeFirst();
        TestSupport::await(f.model->refresh(true));
        QVERIFY(!view->kindBadge()->isVisibleTo(view));
        QVERIFY(!view->uninstallBox()->isVisibleTo(view));
        QVERIFY(!rowShown(view, DetailRow::Installed));
        QCOMPARE(view->dependenciesBox()->title(), QStringLiteral("Dependencies (0)"));
    }

    // Names that would run something when pasted are quoted; what shows is
    // what is copied.
    void uninstallCommandIsQuotedWhereItMust_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("command");
        QTest::addRow("semicolon") << u"jq;reboot"_qs << u"zelk uninstall 'jq;reboot'"_qs;
        QTest::addRow("quote") << u"jq'x"_qs << u"zelk uninstall 'jq'\\''x'"_qs;
        QTest::addRow("line break") << u"jq\nreboot"_qs << u"zelk uninstall 'jq\nreboot'"_qs;
        QTest::addRow("space") << u"jq x"_qs << u"zelk uninstall 'jq x'"_qs;
        QTest::addRow("plain") << u"libz@1.3"_qs << u"zelk uninstall libz@1.3"_qs;
    }

    void uninstallCommandIsQuotedWhereItMust()
    {
        QFETCH(QString, name);
        QFETCH(QString, command);
        Fixture f;
        f.store->installStatus.packages[0].name = name;
        TestSupport::await(f.model->refresh(true));
        PackageDetailView *view = f.show(name);
        QVERIFY(view);
        QVERIFY(view->commandRow()->isVisibleTo(view));
        QCOMPARE(view->commandText()->text(), command);
        QTest::mouseClick(view->copyButton(), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), command);
        view->commandText()->selectAll();
        QCOMPARE(view->commandText()->selectedText(), command);
    }

    void homepageIsALinkOnlyForTheWeb_data()
    {
        QTest::addColumn<QString>("homepage");
        QTest::addColumn<bool>("opens");
        QTest::addRow("HTTPS in capitals") << u"HTTPS://jqlang.example.org/"_qs << true;
        QTest::addRow("http") << u"http://jqlang.example.org/"_qs << true;
        QTest::addRow("file") << u"file:///etc"_qs << false;
        QTest::addRow("javascript") << u"javascript:alert(1)"_qs << false;
        QTest::addRow("a custom scheme") << u"x-zelk-run://rm"_qs << false;
    }

    void homepageIsALinkOnlyForTheWeb()
    {
        QFETCH(QString, homepage);
        QFETCH(bool, opens);
        // Whatever the scheme, a click reaches this handler, never a program.
        UrlCatcher catcher(QUrl(homepage).scheme());
        Fixture f;
        f.store->infos[QStringLiteral("jq")].homepage = homepage;
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        QVERIFY(rowShown(view, DetailRow::Homepage));
        CharWrappingText *value = view->rowValue(DetailRow::Homepage);
        QCOMPARE(value->text(), homepage);
        QCOMPARE(value->isLinkField(), opens);
        QCOMPARE(value->isSelectable(), !opens);
        QTest::mouseClick(value, Qt::LeftButton, {}, QPoint(4, value->height() / 2));
        QCOMPARE(catcher.opened.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(catcher.opened.first().toString().toLower(), homepage.toLower());
    }

    void longTextsStayInTheColumn()
    {
        Fixture f;
        const QString word = QString(300, QLatin1Char('x'));
        f.store->infos[QStringLiteral("jq")].author = word + QLatin1Char(' ') + word;
        f.store->infos[QStringLiteral("jq")].description = word;
        f.store->installStatus.packages[0].path = QStringLiteral("/opt/") + word;
        TestSupport::await(f.model->refresh(true));
        PackageDetailView *view = f.show(QStringLiteral("jq"));
        QVERIFY(view);
        QTRY_VERIFY(view->authorText()->width() > 0);
        // At most two lines of author, the last one cut.
        QCOMPARE(view->authorText()->shownLineCount(), 2);
        QVERIFY(view->authorText()->isTruncated());
        QTRY_COMPARE(view->authorText()->height(), 2 * QFontMetrics(view->authorText()->font()).height());
        // The description is never cut; nothing widens the page.
        QVERIFY(view->descriptionText()->shownLineCount() > 2);
        QVERIFY(!view->descriptionText()->isTruncated());
        QVERIFY(view->rowValue(DetailRow::Path)->lineCount(view->rowValue(DetailRow::Path)->width()) > 2);
        QScrollArea *scroll = view->scrollArea();
        QCOMPARE(scroll->widget()->width(), scroll->viewport()->width());
        QVERIFY(view->authorText()->mapTo(view, QPoint(view->authorText()->width(), 0)).x() <= view->width());
    }

    // A package that thousands depend on: two painted lists, no widget per
    // name, only as tall as their rows, and the page scrolls them.
    void hubListsAreTwoPaintedViews()
    {
        Fixture f;
        QList<InstalledDetail> packages;
        InstalledDetail hub = detail(QStringLiteral("libhub"), QStringLiteral("2.4.1"), true);
        for (int i = 0; i < 500; ++i)
            hub.deps.append(QStringLiteral("dep%1@1.0").arg(i, 3, 10, QLatin1Char('0')));
        packages.append(hub);
        for (int i = 0; i < 2000; ++i) {
            InstalledDetail user = detail(QStringLiteral("user%1").arg(i, 4, 10, QLatin1Char('0')), u"1.0"_qs);
            user.deps = {QStringLiteral("libhub@2.4.1")};
            packages.append(user);
        }
        f.store->installStatus = GuiTestSupport::statusOf(packages);
        TestSupport::await(f.model->refresh(true));
        PackageDetailView *view = f.show(QStringLiteral("libhub"));
        QVERIFY(view);
        QAbstractItemModelTester tester(view->dependentsList()->listModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(view->dependenciesBox()->title(), QStringLiteral("Dependencies (500)"));
        QCOMPARE(view->dependenciesList()->listModel()->rowCount(), 500);
        QCOMPARE(view->dependentsList()->listModel()->rowCount(), 2000);
        QCOMPARE(view->dependentsList()->names().first(), QStringLiteral("user0000"));
        QVERIFY(view->findChildren<QWidget *>().size() < 150);
        NameListView *list = view->dependentsList();
        QCOMPARE(list->height(), list->contentHeight());
        QCOMPARE(list->verticalScrollBar()->maximum(), 0);
        QCOMPARE(list->visualRect(list->listModel()->index(1999, 0)).bottom() + 1, 2000 * list->delegate()->rowHeight());
        // The page scrolls all of it.
        QVERIFY(view->scrollArea()->verticalScrollBar()->maximum() > list->contentHeight());
        // A refresh with the same names keeps the lists as they are.
        QSignalSpy resets(list->listModel(), &QAbstractItemModel::modelReset);
        TestSupport::await(f.model->refresh(true));
        QCOMPARE(resets.count(), 0);
    }

    // The rest: a detail that goes away before its selection has rested asks
    // for nothing.
    void aDetailThatDoesNotRestAsksForNothing()
    {
        Fixture f;
        PackageDetailView::setRestDelay(10min);
        PackageDetailView *view = f.show(QStringLiteral("jq"), false);
        PackageDetailView::setRestDelay(0ms);
        QVERIFY(view);
        QCoreApplication::processEvents();
        QVERIFY(!view->hasRequestedInfo());
        f.view.reset();
        QCoreApplication::processEvents();
        QCOMPARE(f.store->calls(Query::Info), 0);
    }

    // Selections made faster than zelk answers: only a few loads run at once,
    // details that went away while they waited never start theirs, the ones
    // started run on, and the detail on screen gets its answer.
    void onlyAFewLoadsInFlight()
    {
        Fixture f;
        f.store->hold(Query::Info);
        InfoLoadQueue &queue = InfoLoadQueue::of(*f.model);
        QCOMPARE(&InfoLoadQueue::of(*f.model), &queue);
        const QStringList names{u"jq"_qs, u"ripgrep"_qs, u"oniguruma"_qs, u"bat"_qs, u"aaa-tool"_qs, u"jq"_qs};
        for (const QString &name : names) {
            PackageDetailView *view = f.show(name, false);
            QVERIFY(view);
            QTRY_VERIFY(view->hasRequestedInfo());
            QVERIFY(queue.inFlight() <= InfoLoadQueue::defaultMaximumInFlight);
        }
        QCOMPARE(f.store->infoRequests, (QStringList{u"jq"_qs, u"ripgrep"_qs}));
        QCOMPARE(queue.inFlight(), 2);
        QCOMPARE(queue.waiting(), 1);
        QSignalSpy finished(&queue, &InfoLoadQueue::loadFinished);
        f.store->release(Query::Info);
        QTRY_VERIFY(f.view->isLoaded());
        // Both started loads ran to their end although their details are gone.
        QCOMPARE(finished.count(), 3);
        QCOMPARE(f.store->infoRequests, (QStringList{u"jq"_qs, u"ripgrep"_qs, u"jq"_qs}));
        QCOMPARE(f.view->info()->name, QStringLiteral("jq"));
        QCOMPARE(queue.inFlight(), 0);
    }

    // Against zelk-sim: a detail that goes away while its `zelk info` runs
    // leaves the child alone; the answer still fills the store's cache.
    void aLoadWhoseDetailWentAwayFillsTheCache()
    {
        QTemporaryDir state;
        qputenv("ZELK_SIM_STATE", QFile::encodeName(state.filePath(QStringLiteral("state"))));
        qputenv("ZELK_SIM_DEMO", ZELK_SIM_DEMO_DIR);
        qputenv("ZELK_SIM_INFO_DELAY_MS", "400");
        auto *store = new ZelkKit::CatalogStore(ZelkKit::ZelkCLI(QStringLiteral(ZELK_SIM_PATH)), 600);
        AppModel model(store);
        QSettings settings(state.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        Localizer l(AppLanguage::English, {&settings, QStringList{QStringLiteral("en")}});
        ZelkKit::ProcessRegistry &registry = ZelkKit::ProcessRegistry::instance();
        const int before = registry.liveCount();
        {
            PackageDetailView view(model, l, QStringLiteral("jq"));
            view.show();
            QTRY_VERIFY(view.hasRequestedInfo());
            QTRY_COMPARE(registry.liveCount(), before + 1);
        }
        // The child is still there after the detail went, and ends on its own.
        QCOMPARE(registry.liveCount(), before + 1);
        QTRY_COMPARE_WITH_TIMEOUT(registry.liveCount(), before, 20000);
        QTRY_COMPARE(store->cachedInfoCount(), 1);
        qunsetenv("ZELK_SIM_INFO_DELAY_MS");

        // The next detail of that package answers from the cache.
        PackageDetailView again(model, l, QStringLiteral("jq"));
        again.show();
        QTRY_VERIFY(again.isLoaded());
        QCOMPARE(registry.liveCount(), before);
        QVERIFY(again.info());
        QCOMPARE(again.info()->name, QStringLiteral("jq"));
    }
};

REVEZE_GUI_TEST_MAIN(TestPackageDetail)
#include "tst_packagedetail.moc"
