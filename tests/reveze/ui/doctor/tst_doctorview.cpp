// The Doctor screen: what its body shows before, during and after a check
// (and after a check that failed or did not really run), the severity
// symbols, findings kept from an earlier visit, Run again, the selectable
// detail, and a screen that goes while its check runs.

#include "AppModel.h"
#include "Localizer.h"
#include "doctor/DoctorListModel.h"
#include "doctor/DoctorRowDelegate.h"
#include "doctor/DoctorView.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"

#include "GuiTestSupport.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReveZE;
using GuiTestSupport::FakeStore;
using Query = GuiTestSupport::FakeStore::Query;
using ZelkKit::DoctorFinding;
using ZelkKit::DoctorRun;
using ZelkKit::ZelkCLIError;
using Body = DoctorView::Body;

Q_DECLARE_METATYPE(Body)

namespace {

DoctorFinding finding(const char *severity, const char *check, const char *detail)
{
    return {QString::fromUtf8(severity), QString::fromUtf8(check), QString::fromUtf8(detail)};
}

// zelk exits with the number of findings.
DoctorRun runWith(QList<DoctorFinding> findings)
{
    DoctorRun run;
    run.exitCode = qint32(findings.size());
    run.findings = std::move(findings);
    return run;
}

QList<DoctorFinding> demoFindings()
{
    return {
        finding("error", "permissions", "/opt/rurirud/bin/zelk-helper is owned by root"),
        finding("ERROR", "receipts", "pkgs/ripgrep/14.1.0 has no install receipt"),
        finding("notice", "legacy-shims", ""),
        // zelk may say the same thing twice; each is its own row.
        finding("warning", "links", "neovim links 0.9.2 but 0.9.5 is current"),
        finding("warning", "links", "neovim links 0.9.2 but 0.9.5 is current"),
    };
}

struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    FakeStore *store = new FakeStore;
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(store);
    std::unique_ptr<Localizer> l = std::make_unique<Localizer>(
        AppLanguage::English, Localizer::Environment{&settings, QStringList{QStringLiteral("en-US")}});
    std::unique_ptr<DoctorView> view;

    ~Fixture()
    {
        store->release();
        QCoreApplication::processEvents();
        view.reset();
    }

    DoctorView *show()
    {
        view = std::make_unique<DoctorView>(*model, *l);
        view->resize(520, 560);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            return nullptr;
        return view.get();
    }
};

// What is on screen, read from the widgets rather than from body().
Body shown(const DoctorView *view)
{
    const QWidget *page = view->bodyStack()->currentWidget();
    if (page == view->spinner()->parentWidget())
        return Body::Spinner;
    if (page == view->list())
        return Body::List;
    if (page == view->cleanState())
        return Body::Clean;
    return Body::Nothing;
}

} // namespace

class TestDoctorView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QStandardPaths::setTestModeEnabled(true); }

    void body_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("succeeded");
        QTest::addColumn<bool>("hasFindings");
        QTest::addColumn<Body>("body");
        QTest::addRow("no check yet, nothing to list") << false << false << false << Body::Spinner;
        QTest::addRow("no check yet, findings from before") << false << false << true << Body::List;
        QTest::addRow("checked, found nothing") << true << true << false << Body::Clean;
        QTest::addRow("checked, found something") << true << true << true << Body::List;
        // A failed check is not a clean install tree.
        QTest::addRow("check failed, nothing to list") << true << false << false << Body::Nothing;
        QTest::addRow("check failed, findings from before") << true << false << true << Body::List;
    }
    void body()
    {
        QFETCH(bool, checked);
        QFETCH(bool, succeeded);
        QFETCH(bool, hasFindings);
        QFETCH(Body, body);
        QCOMPARE(DoctorView::body(checked, succeeded, hasFindings), body);
    }

    void severitySymbol_data()
    {
        QTest::addColumn<QString>("severity");
        QTest::addColumn<bool>("isError");
        QTest::addRow("error") << QStringLiteral("error") << true;
        QTest::addRow("ERROR") << QStringLiteral("ERROR") << true;
        QTest::addRow("Error") << QStringLiteral("Error") << true;
        QTest::addRow("warning") << QStringLiteral("warning") << false;
        QTest::addRow("info") << QStringLiteral("info") << false;
        QTest::addRow("errors") << QStringLiteral("errors") << false;
        QTest::addRow("fatal") << QStringLiteral("fatal") << false;
        QTest::addRow("empty") << QString() << false;
    }
    void severitySymbol()
    {
        QFETCH(QString, severity);
        QFETCH(bool, isError);
        const DoctorFinding f{severity, QStringLiteral("c"), QStringLiteral("d")};
        QCOMPARE(DoctorView::severitySymbol(f),
                 isError ? QStringLiteral("xmark.octagon.fill") : QStringLiteral("exclamationmark.triangle.fill"));
        QCOMPARE(DoctorView::severityColour(f), isError ? Palette::red() : Palette::orange());
    }

    // A first visit, with nothing kept from before: the spinner until the
    // check ends, then what it says. A check that failed or did not really
    // run (zelk died, or gave a status without a finding) is reported by the
    // alert and shows neither the spinner nor the clean state.
    void firstVisit_data()
    {
        QTest::addColumn<int>("findings");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("queryFails");
        QTest::addColumn<Body>("body");
        QTest::addColumn<QString>("error");
        QTest::addRow("findings") << 5 << 5 << false << QString() << false << Body::List << QString();
        QTest::addRow("findings, any status") << 5 << 1 << false << QStringLiteral("x") << false << Body::List
                                              << QString();
        QTest::addRow("clean") << 0 << 0 << false << QString() << false << Body::Clean << QString();
        QTest::addRow("query failed") << 0 << 0 << false << QString() << true << Body::Nothing
                                      << QStringLiteral("Could not start `zelk`: No such file");
        QTest::addRow("status without a finding") << 0 << 3 << false << QString() << false << Body::Nothing
                                                  << QStringLiteral("`zelk` exited with status 3.");
        QTest::addRow("status and a message") << 0 << 1 << false << QStringLiteral("zelk: state is damaged") << false
                                              << Body::Nothing << QStringLiteral("zelk: state is damaged");
        QTest::addRow("crashed") << 0 << 11 << true << QString() << false << Body::Nothing
                                 << QStringLiteral("`zelk` exited with status 11.");
        QTest::addRow("crashed, status 0") << 0 << 0 << true << QString() << false << Body::Nothing
                                           << QStringLiteral("`zelk` exited with status 0.");
    }
    void firstVisit()
    {
        QFETCH(int, findings);
        QFETCH(int, exitCode);
        QFETCH(bool, crashed);
        QFETCH(QString, message);
        QFETCH(bool, queryFails);
        QFETCH(Body, body);
        QFETCH(QString, error);

        Fixture f;
        f.store->doctorAnswer = DoctorRun{demoFindings().mid(0, findings), exitCode, crashed, message};
        if (queryFails)
            f.store->fail(Query::Doctor, ZelkCLIError::launchFailed(QStringLiteral("No such file")));
        f.store->hold(Query::Doctor);
        DoctorView *view = f.show();
        QVERIFY(view);
        QCOMPARE(shown(view), Body::Spinner);
        QVERIFY(view->spinner()->isVisible());
        QVERIFY(!view->isLoaded());
        QCOMPARE(f.store->calls(Query::Doctor), 1);

        f.store->release();
        QTRY_VERIFY(view->isLoaded());
        QVERIFY(view->checked());
        QCOMPARE(shown(view), body);
        QCOMPARE(view->listModel()->rowCount(), findings);
        QVERIFY(!view->spinner()->isVisible());
        QCOMPARE(view->cleanState()->isVisible(), body == Body::Clean);
        QCOMPARE(f.model->errorMessage(), error.isEmpty() ? std::nullopt : std::optional<QString>(error));
        if (body == Body::Clean)
            QCOMPARE(view->findChild<QLabel *>(QStringLiteral("doctorCleanLabel"))->text(),
                     QStringLiteral("No problems found."));
    }

    // After a failed check, the next one that succeeds decides again.
    void checkAfterFailure()
    {
        Fixture f;
        f.store->fail(Query::Doctor, ZelkCLIError::commandFailed(1, QStringLiteral("locked")));
        DoctorView *view = f.show();
        QVERIFY(view);
        QTRY_VERIFY(view->checked());
        QCOMPARE(shown(view), Body::Nothing);
        f.store->succeed(Query::Doctor);
        QTest::mouseClick(view->runCheckButton(), Qt::LeftButton);
        QTRY_COMPARE(shown(view), Body::Clean);
    }

    void rowsAreFindingsInOrder()
    {
        Fixture f;
        f.store->doctorAnswer = runWith(demoFindings());
        DoctorView *view = f.show();
        QVERIFY(view);
        QAbstractItemModelTester tester(view->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_COMPARE(shown(view), Body::List);
        const DoctorListModel *rows = view->listModel();
        QCOMPARE(rows->rowCount(), 5);
        QCOMPARE(rows->findingAt(1).check, QStringLiteral("receipts"));
        QVERIFY(rows->index(1).data(DoctorListModel::IsErrorRole).toBool());
        QVERIFY(!rows->index(2).data(DoctorListModel::IsErrorRole).toBool());
        // The two equal findings are two rows.
        QCOMPARE(rows->findingAt(3), rows->findingAt(4));
        // An empty detail keeps its line: every row has the same height.
        const QRect first = view->list()->visualRect(rows->index(0));
        const QRect empty = view->list()->visualRect(rows->index(2));
        QCOMPARE(empty.height(), first.height());
        QVERIFY(DoctorRowDelegate::geometry(QRectF(empty)).detail.height() > 0);
    }

    void earlierFindingsListedAtOnce()
    {
        Fixture f;
        f.store->doctorAnswer = runWith(demoFindings());
        QVERIFY(TestSupport::await(f.model->refreshDoctor()));

        // A new visit: the kept findings at once, a new check in the background.
        f.store->doctorAnswer = runWith({finding("warning", "cache", "1.4 GB of old downloads")});
        f.store->hold(Query::Doctor);
        DoctorView *view = f.show();
        QVERIFY(view);
        QCOMPARE(shown(view), Body::List);
        QVERIFY(!view->spinner()->isVisible());
        QCOMPARE(view->listModel()->rowCount(), 5);
        QCOMPARE(f.store->calls(Query::Doctor), 2);
        f.store->release();
        QTRY_COMPARE(view->listModel()->rowCount(), 1);
        QCOMPARE(view->listModel()->findingAt(0).check, QStringLiteral("cache"));
    }

    void runAgainStartsACheckPerClick()
    {
        Fixture f;
        f.store->hold(Query::Doctor);
        DoctorView *view = f.show();
        QVERIFY(view);
        QCOMPARE(f.store->calls(Query::Doctor), 1);
        QVERIFY(view->runCheckButton()->isEnabled());
        QCOMPARE(view->runCheckButton()->text(), QStringLiteral("Run again"));
        QCOMPARE(view->runCheckButton()->accessibleName(), QStringLiteral("Run again"));
        QTest::mouseClick(view->runCheckButton(), Qt::LeftButton);
        QTest::mouseClick(view->runCheckButton(), Qt::LeftButton);
        QVERIFY(view->runCheckButton()->isEnabled());
        QCOMPARE(f.store->calls(Query::Doctor), 3);
        f.store->release();
        QTRY_VERIFY(view->isLoaded());
        QCOMPARE(shown(view), Body::Clean);

        // Shown again, it does not check again by itself.
        view->hide();
        view->show();
        QCOMPARE(f.store->calls(Query::Doctor), 3);
    }

    void detailCanBeSelectedAndCopied()
    {
        Fixture f;
        const QString longDetail = QStringLiteral("/opt/rurirud/pkgs/imagemagick/7.1.1-29/lib/ImageMagick-7.1.1/"
                                                  "modules-Q16HDRI/coders/ is not readable by the owner of the tree");
        f.store->doctorAnswer = runWith({finding("warning", "permissions", "short"),
                                         DoctorFinding{QStringLiteral("error"), QStringLiteral("files"), longDetail}});
        DoctorView *view = f.show();
        QVERIFY(view);
        QTRY_COMPARE(view->listModel()->rowCount(), 2);
        const QModelIndex second = view->listModel()->index(1);
        QTest::mouseClick(view->list()->viewport(), Qt::LeftButton, {}, view->list()->visualRect(second).center());
        QVERIFY(view->list()->isPersistentEditorOpen(second));
        auto *field = qobject_cast<QLineEdit *>(view->list()->indexWidget(second));
        QVERIFY(field);
        QVERIFY(field->isReadOnly());
        QCOMPARE(field->text(), longDetail);
        QCOMPARE(field->accessibleName(), QStringLiteral("files"));
        field->selectAll();
        field->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), longDetail);

        // Only the current row has a field.
        view->list()->setCurrentIndex(view->listModel()->index(0));
        QVERIFY(!view->list()->isPersistentEditorOpen(second));
        QVERIFY(view->list()->isPersistentEditorOpen(view->listModel()->index(0)));
    }

    void screenGoesWhileItsCheckRuns()
    {
        Fixture f;
        f.store->doctorAnswer = runWith(demoFindings());
        f.store->hold(Query::Doctor);
        QVERIFY(f.show());
        f.view.reset();
        f.store->release();
        // The model still takes the result.
        QTRY_COMPARE(f.model->doctorFindings().size(), 5);
    }

    void textsFollowTheLanguage()
    {
        Fixture f;
        DoctorView *view = f.show();
        QVERIFY(view);
        QTRY_VERIFY(view->isLoaded());
        f.l->setLanguage(AppLanguage::ChineseSimplified);
        QCOMPARE(view->navigationTitle(), QStringLiteral("诊断"));
        QCOMPARE(view->runCheckButton()->text(), QStringLiteral("重新检查"));
        QCOMPARE(view->findChild<QLabel *>(QStringLiteral("doctorCleanLabel"))->text(), QStringLiteral("未发现问题。"));
    }
};

REVEZE_GUI_TEST_MAIN(TestDoctorView)
#include "tst_doctorview.moc"
