// The install runner against the scripted zelk (recording_zelk): every run
// is a real child process streaming progress lines.

#include "HealthyZelk.h"
#include "TestSupport.h"

#include "AppModel.h"
#include "InstallRunner.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <cerrno>

using namespace ReveZE;
using namespace ZelkKit;
using TestSupport::await;
using TestSupport::FakeZelk;
using TestSupport::setHealthy;
using TestSupport::words;

namespace {

bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

} // namespace

namespace {

OperationArguments install(const QString &name)
{
    return OperationArguments(ZelkOperation::Install, {name}, false, false, QString(), QString(), QString(),
                              QString(), true, false);
}

void waitUntilFinished(InstallRunner &runner)
{
    QTRY_VERIFY_WITH_TIMEOUT(runner.finished(), 30000);
}

QStringList logTexts(const InstallRunner &runner)
{
    QStringList texts;
    for (const LogLine &line : runner.log())
        texts.append(line.text);
    return texts;
}

} // namespace

class TestInstallRunner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runnerWithoutStore();
    void runnerLogsEveryEvent();
    void runnerErrorEvent();
    void runnerStreamFailure();
    void runnerCancel();
    void runnerDeletedMidRun();
    void startDuringARunChangesNothing();
    void staleJobEventsDoNotReachTheNewLog();
};

void TestInstallRunner::runnerWithoutStore()
{
    AppModel model(static_cast<CatalogStore *>(nullptr));
    InstallRunner runner;
    runner.start(install(QStringLiteral("jq")), model);
    QCOMPARE(runner.failure(), std::optional<QString>(QStringLiteral("Quindle is not available.")));
    QVERIFY(runner.finished());
    QVERIFY(!runner.isRunning());
    QVERIFY(runner.log().isEmpty());

    qputenv("REVEZE_ZELK", QByteArrayLiteral(FIXTURE_BIN_DIR "/no-such-zelk"));
    AppModel located;
    qunsetenv("REVEZE_ZELK");
    InstallRunner second;
    second.start(install(QStringLiteral("jq")), located);
    QCOMPARE(second.failure(), std::optional<QString>(AppModel::notFoundText()));
}

void TestInstallRunner::runnerLogsEveryEvent()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("install jq --yes --json-progress"), R"({"event":"plan","steps":["download","install"]}
{"event":"plan"}
{"event":"step","name":"download","status":"start"}
{"event":"step","name":"download","status":"ok"}
{"event":"progress","percent":40}
{"event":"progress","done":512,"total":2048}
{"event":"progress","done":1,"total":0,"percent":90}
{"event":"package","name":"oniguruma","status":"skipped"}
{"event":"package","name":"jq","status":"ok"}
{"event":"status","package":"jq","version":"1.7.1","state":"upgraded","from_version":"1.6"}
{"event":"status","package":"jq","version":"1.7.1","state":"upgraded"}
{"event":"summary","failed":["x"]}
{"event":"summary","upgraded":["a","b"]}
{"event":"done","package":"jq","version":"1.7.1","bin":"jq","linked":true}
{"event":"done","package":"fd","version":"9","linked":true}
{"event":"done","package":"rg","version":"14","linked":false}
{"event":"warning","message":"x"}
)");
    AppModel model(ZelkCLI(zelk.executable()));
    InstallRunner runner;
    QSignalSpy percent(&runner, &InstallRunner::percentChanged);
    runner.start(install(QStringLiteral("jq")), model);
    QVERIFY(runner.isRunning());
    waitUntilFinished(runner);
    const QStringList expected{
        QStringLiteral("zelk install jq --yes"),
        QStringLiteral("plan: download \u2192 install"),
        QStringLiteral("plan: "),
        QStringLiteral("download [start]"),
        QStringLiteral("download [ok]"),
        QStringLiteral("download 512/2048 bytes"),
        QStringLiteral("oniguruma: skipped"),
        QStringLiteral("jq: ok"),
        QStringLiteral("jq: upgraded (1.6 \u2192 1.7.1)"),
        QStringLiteral("jq: upgraded (1.7.1)"),
        QStringLiteral("summary: 0 upgraded, 0 unchanged, 1 failed"),
        QStringLiteral("summary: 2 upgraded, 0 unchanged, 0 failed"),
        QStringLiteral("done: jq@1.7.1, linked jq"),
        QStringLiteral("done: fd@9, linked fd"),
        QStringLiteral("done: rg@14"),
        QStringLiteral("ignored unknown event: warning"),
    };
    QCOMPARE(logTexts(runner), expected);
    QVERIFY(runner.log().at(10).isError);
    QVERIFY(!runner.log().at(11).isError);
    QCOMPARE(std::count_if(runner.log().cbegin(), runner.log().cend(), [](const LogLine &l) { return l.isError; }), 1);
    // 40, none, 90.
    QCOMPARE(percent.count(), 3);
    QCOMPARE(runner.percent(), std::optional<qint64>(90));
    QCOMPARE(runner.installedPackage(), std::optional<QString>(QStringLiteral("rg")));
    QVERIFY(!runner.failure());
    QVERIFY(!runner.failureCode());
    QVERIFY(runner.currentStep().isEmpty());
    QVERIFY(!runner.isRunning());
    // Ids are fresh for every line.
    QVERIFY(runner.log().at(0).id != runner.log().at(1).id);
    // The run ends with a forced refresh of the model.
    QTRY_COMPARE(zelk.count(words("status --json")), 1);
}

void TestInstallRunner::runnerErrorEvent()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("install jq --yes --json-progress"),
                     "@exit 1\n"
                     R"({"event":"step","name":"download","status":"start"})" "\n"
                     R"({"event":"error","message":"disk full","hint":["free space","retry"],"code":"E_DISK"})" "\n");
    zelk.setDocument(words("install empty --yes --json-progress"), R"({"event":"error"})");
    AppModel model(ZelkCLI(zelk.executable()));
    InstallRunner runner;
    QSignalSpy step(&runner, &InstallRunner::currentStepChanged);
    runner.start(install(QStringLiteral("jq")), model);
    waitUntilFinished(runner);
    QCOMPARE(logTexts(runner).mid(2), (QStringList{QStringLiteral("error: disk full"), QStringLiteral("  free space"),
                                                   QStringLiteral("  retry")}));
    QVERIFY(runner.log().at(2).isError && runner.log().at(3).isError && runner.log().at(4).isError);
    QCOMPARE(runner.failure(), std::optional<QString>(QStringLiteral("disk full")));
    QCOMPARE(runner.failureCode(), std::optional<QString>(QStringLiteral("E_DISK")));
    QCOMPARE(step.count(), 2); // "download", then empty at the end

    // Running again on the same runner starts from a clean log.
    runner.start(install(QStringLiteral("empty")), model);
    QCOMPARE(runner.log().size(), 1);
    QVERIFY(!runner.failure());
    waitUntilFinished(runner);
    QCOMPARE(runner.failure(), std::optional<QString>(QString()));
    QVERIFY(!runner.failureCode());
}

void TestInstallRunner::runnerStreamFailure()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("install jq --yes --json-progress"), "@exit 2\n");
    AppModel model(ZelkCLI(zelk.executable()));
    InstallRunner runner;
    runner.start(install(QStringLiteral("jq")), model);
    waitUntilFinished(runner);
    QCOMPARE(runner.failure(),
             std::optional<QString>(QStringLiteral("`zelk install jq --yes --json-progress` exited with status 2.")));
    QVERIFY(!runner.failureCode());

    AppModel broken(ZelkCLI(QStringLiteral(FIXTURE_BIN_DIR "/no-such-zelk")));
    InstallRunner second;
    second.start(install(QStringLiteral("jq")), broken);
    waitUntilFinished(second);
    QVERIFY(second.failure()->startsWith(QStringLiteral("Could not start `zelk`: ")));
    QCOMPARE(second.log().size(), 1);
}

void TestInstallRunner::runnerCancel()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("install jq --yes --json-progress"),
                     "@hang" R"({"event":"step","name":"download","status":"start"})" "\n");
    AppModel model(ZelkCLI(zelk.executable()));
    InstallRunner runner;
    runner.cancel(); // idle: nothing happens
    QVERIFY(!runner.finished());

    runner.start(install(QStringLiteral("jq")), model);
    QTRY_COMPARE_WITH_TIMEOUT(runner.currentStep(), QStringLiteral("download"), 30000);
    const qint64 pid = zelk.hangingPid();
    QVERIFY(pid > 0);
    runner.cancel();
    QCOMPARE(runner.failure(), std::optional<QString>(QStringLiteral("Cancelled.")));
    QVERIFY(!runner.failureCode());
    QVERIFY(!runner.isRunning());
    QVERIFY(runner.finished());
    QVERIFY(runner.currentStep().isEmpty());
    // The child is terminated and reaped, and the model refreshed.
    QTRY_VERIFY_WITH_TIMEOUT(processGone(pid), 30000);
    QTRY_COMPARE(zelk.count(words("status --json")), 1);
    // The end of the cancelled stream changes nothing (a later run through
    // the same store has come and gone by now).
    (void)await(model.store()->versionInfo());
    QCOMPARE(runner.failure(), std::optional<QString>(QStringLiteral("Cancelled.")));
    const int lines = int(runner.log().size());
    runner.cancel();
    QCOMPARE(runner.log().size(), lines);
    QCOMPARE(zelk.count(words("status --json")), 1);
}

void TestInstallRunner::runnerDeletedMidRun()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.enableRelease();
    zelk.setDocument(words("install jq --yes --json-progress"),
                     "@hang" R"({"event":"step","name":"download","status":"start"})" "\n");
    AppModel model(ZelkCLI(zelk.executable()));
    auto *runner = new InstallRunner;
    runner->start(install(QStringLiteral("jq")), model);
    QTRY_VERIFY_WITH_TIMEOUT(zelk.hangingPid() > 0, 30000);
    const qint64 pid = zelk.hangingPid();
    delete runner;
    // zelk is not stopped: it finishes when released, and then exits 0.
    (void)await(model.store()->versionInfo());
    QVERIFY(!processGone(pid));
    QFile release(zelk.releaseFile());
    QVERIFY(release.open(QIODevice::WriteOnly));
    release.close();
    QTRY_VERIFY_WITH_TIMEOUT(processGone(pid), 30000);
    (void)await(model.store()->versionInfo());
    // No finish, hence no refresh.
    QCOMPARE(zelk.count(words("status --json")), 0);
}

void TestInstallRunner::startDuringARunChangesNothing()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("install jq --yes --json-progress"),
                     "@hang" R"({"event":"step","name":"download","status":"start"})" "\n");
    zelk.setDocument(words("install fd --yes --json-progress"), R"({"event":"done","package":"fd","version":"9"})" "\n");
    AppModel model(ZelkCLI(zelk.executable()));
    InstallRunner runner;
    runner.start(install(QStringLiteral("jq")), model);
    QTRY_COMPARE_WITH_TIMEOUT(runner.currentStep(), QStringLiteral("download"), 30000);
    const QStringList before = logTexts(runner);

    runner.start(install(QStringLiteral("fd")), model);
    QVERIFY(runner.isRunning());
    QCOMPARE(logTexts(runner), before);
    QCOMPARE(runner.currentStep(), QStringLiteral("download"));

    const qint64 pid = zelk.hangingPid();
    runner.cancel();
    QTRY_VERIFY_WITH_TIMEOUT(processGone(pid), 30000);
    QCOMPARE(zelk.count(words("install fd --yes --json-progress")), 0);
}

// A slot that cancels and starts again while the runner is still handing out
// the first run's batch: the rest of that batch belongs to no one.
void TestInstallRunner::staleJobEventsDoNotReachTheNewLog()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("install jq --yes --json-progress"),
                     R"({"event":"step","name":"download","status":"start"}
{"event":"package","name":"jq","status":"ok"}
{"event":"progress","percent":70}
{"event":"step","name":"link","status":"start"}
{"event":"done","package":"jq","version":"1.7.1"}
)");
    zelk.setDocument(words("install fd --yes --json-progress"),
                     "@hang" R"({"event":"step","name":"fetch","status":"start"})" "\n");
    AppModel model(ZelkCLI(zelk.executable()));
    InstallRunner runner;
    bool restarted = false;
    connect(&runner, &InstallRunner::logLineAdded, &runner, [&](const LogLine &line) {
        if (restarted || line.text != QStringLiteral("download [start]"))
            return;
        restarted = true;
        runner.cancel();
        runner.start(install(QStringLiteral("fd")), model);
    });
    runner.start(install(QStringLiteral("jq")), model);
    QTRY_COMPARE_WITH_TIMEOUT(runner.currentStep(), QStringLiteral("fetch"), 30000);
    QCOMPARE(logTexts(runner), (QStringList{QStringLiteral("zelk install fd --yes"), QStringLiteral("fetch [start]")}));
    QVERIFY(!runner.installedPackage());
    QVERIFY(!runner.percent());
    QVERIFY(runner.isRunning());
    const qint64 pid = zelk.hangingPid();
    runner.cancel();
    QTRY_VERIFY_WITH_TIMEOUT(processGone(pid), 30000);
}

REVEZE_TEST_MAIN(TestInstallRunner)
#include "tst_installrunner.moc"
