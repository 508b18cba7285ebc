// The virtual log view over a real run of zelk-sim with thousands of lines:
// it takes in every line, never scrolls by itself, and selects and copies
// whole lines.

#include "AppModel.h"
#include "InstallRunner.h"
#include "install/InstallLogView.h"

#include "GuiTestSupport.h"

#include <OperationArguments.h>
#include <ProcessRegistry.h>
#include <ZelkCLI.h>

#include <QClipboard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReveZE;

namespace {

struct Run {
    QTemporaryDir dir;
    std::unique_ptr<AppModel> model;
    InstallRunner runner;
    InstallLogView view;

    explicit Run(const QByteArray &chunks)
    {
        qputenv("ZELK_SIM_STATE", QFile::encodeName(dir.filePath(QStringLiteral("state"))));
        qputenv("ZELK_SIM_DELAY_MS", "0");
        qputenv("ZELK_SIM_DEMO", ZELK_SIM_DEMO_DIR);
        qputenv("ZELK_SIM_DOWNLOAD_CHUNKS", chunks);
        model = std::make_unique<AppModel>(ZelkKit::ZelkCLI(QStringLiteral(ZELK_SIM_PATH)));
        view.resize(520, 320);
        view.setRunner(&runner);
        view.show();
    }

    ~Run()
    {
        qunsetenv("ZELK_SIM_DOWNLOAD_CHUNKS");
        for (int i = 0; i < 3000 && (model->isLoading() || ZelkKit::ProcessRegistry::instance().liveCount() > 0); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    void start(const QString &name)
    {
        runner.start(ZelkKit::OperationArguments(ZelkKit::ZelkOperation::Install, {name}, false, false, {}, {}, {},
                                                 {}, true, false),
                     *model);
    }

    bool install(const QString &name)
    {
        start(name);
        return QTest::qWaitFor([&] { return runner.finished(); }, 60000);
    }
};

} // namespace

class TestInstallLogView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLineIsTakenInWithoutScrolling()
    {
        Run run("50000");
        QVERIFY(QTest::qWaitForWindowExposed(&run.view));
        QScrollBar *bar = run.view.verticalScrollBar();
        run.start(QStringLiteral("shellcheck"));
        // Where the user scrolled stays put while lines arrive.
        QTRY_VERIFY_WITH_TIMEOUT(bar->maximum() > 2000, 60000);
        bar->setValue(1500);
        QVERIFY(QTest::qWaitFor([&] { return run.runner.finished(); }, 60000));
        QVERIFY(run.runner.log().size() > 50000);
        QTRY_COMPARE(run.view.shownLineCount(), run.runner.log().size());
        QCOMPARE(bar->value(), 1500);
        QVERIFY(bar->maximum() >= (run.runner.log().size() - 30) * run.view.lineStep());
        // Far fewer paints than lines: appends are taken in once per frame.
        QVERIFY2(run.view.paintCount() < run.runner.log().size() / 10, qPrintable(QString::number(run.view.paintCount())));

        // A new run (a shorter log) starts the view over at the top.
        QVERIFY(run.install(QStringLiteral("duf")));
        QTRY_COMPARE(run.view.shownLineCount(), run.runner.log().size());
        QCOMPARE(bar->value(), 0);
    }

    void linesAreSelectedAndCopiedWhole()
    {
        Run run("8");
        QVERIFY(QTest::qWaitForWindowExposed(&run.view));
        QVERIFY(run.install(QStringLiteral("shellcheck")));
        QTRY_COMPARE(run.view.shownLineCount(), run.runner.log().size());
        const InstallLog &log = run.runner.log();
        QWidget *viewport = run.view.viewport();
        const auto yOf = [&](int line) { return InstallLogView::padding + line * run.view.lineStep() + 3; };

        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, yOf(1)));
        QCOMPARE(run.view.selection(), (std::optional<std::pair<qsizetype, qsizetype>>{{1, 1}}));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(20, yOf(3)));
        QCOMPARE(run.view.selection(), (std::optional<std::pair<qsizetype, qsizetype>>{{1, 3}}));
        QTest::keyClick(&run.view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringList({log.at(1).text, log.at(2).text, log.at(3).text}).join(QLatin1Char('\n')));

        QTest::keyClick(&run.view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&run.view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), log.texts().join(QLatin1Char('\n')));
        QCOMPARE(log.at(0).text, QStringLiteral("zelk install shellcheck --yes"));
    }
};

REVEZE_GUI_TEST_MAIN(TestInstallLogView)
#include "tst_installlogview.moc"
