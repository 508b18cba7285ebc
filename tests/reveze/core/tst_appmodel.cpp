// The application model's refresh flows, against the scripted zelk
// (recording_zelk): every query is a real child process.

#include "TestSupport.h"

#include "AppModel.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <cerrno>

using namespace ReveZE;
using namespace ZelkKit;
using TestSupport::await;
using TestSupport::FakeZelk;

namespace {

QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '));
}

const QByteArray statusDocument = R"({"base_dir":"/opt/rurirud","packages":[
 {"name":"jq","version":"1.7.1","versions":["1.7.1"],"kind":"pkg","requested":true,"tree":false,"linked":true,
  "commands":["jq"],"deps":["oniguruma@6.9"],"path":"/opt/rurirud/pkgs/jq","size_bytes":1000,"file":"jq.tar",
  "sha256":"ab","source":"index"}]})";

void setHealthy(FakeZelk &zelk)
{
    zelk.setDocument(words("version --json"), R"({"version":"0.9","protocol":1,"capabilities":["json-progress","status"]})");
    zelk.setDocument(words("status --json"), statusDocument);
    zelk.setDocument(words("list --json"), R"({"packages":[{"name":"jq","installed":["1.7.1"]}]})");
    zelk.setDocument(words("catalog --json"), R"({"packages":[
        {"name":"zed","kind":"pkg","versions":["1"]},{"name":"abc","kind":"deps","versions":[]},
        {"name":"jq","kind":"pkg","latest":"1.7.1","versions":["1.7.1"]}]})");
    zelk.setDocument(words("outdated --json"), R"([{"name":"jq","installed":"1.6","latest":"1.7.1","status":"outdated"}])");
}

bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

} // namespace

class TestAppModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutExecutable();
    void fullRefreshAppliesEverything();
    void fiveQueriesRunTogether();
    void statusFailureAfterVersionSuccess();
    void firstErrorInTakingOrderWins();
    void successAfterFailureClearsTheError();
    void compatibility_data();
    void compatibility();
    void equalAssignmentsDoNotNotify();
    void overlappingRefreshes();
    void partialRefreshes();
    void refreshIndexThatCannotStart();
};

void TestAppModel::withoutExecutable()
{
    qputenv("REVEZE_ZELK", QByteArrayLiteral(FIXTURE_BIN_DIR "/no-such-zelk"));
    AppModel model;
    qunsetenv("REVEZE_ZELK");
    QVERIFY(!model.store());
    QCOMPARE(model.setupError(), std::optional<QString>(AppModel::notFoundText()));
    await(model.refresh(false));
    QCOMPARE(model.errorMessage(), model.setupError());
    QVERIFY(!model.isLoading());
    const Result<PackageInfo> info = await(model.info(QStringLiteral("jq"), false));
    QVERIFY(!info);
    QCOMPARE(info.error().kind(), ZelkCLIError::Kind::NotFound);
}

void TestAppModel::fullRefreshAppliesEverything()
{
    FakeZelk zelk;
    setHealthy(zelk);
    AppModel model(ZelkCLI(zelk.executable()));
    QSignalSpy loading(&model, &AppModel::isLoadingChanged);
    await(model.refresh(false));
    QCOMPARE(loading.count(), 2);
    QVERIFY(!model.isLoading());
    QVERIFY(!model.errorMessage());
    QVERIFY(model.lastRefresh());
    QCOMPARE(model.cliInfo()->version, QStringLiteral("0.9"));
    QVERIFY(!model.compatibilityIssue());
    QCOMPARE(model.status()->packages.size(), 1);
    QCOMPARE(model.installed().size(), 1);
    // The catalog keeps the CLI's order.
    QCOMPARE(model.catalog(), (QStringList{QStringLiteral("zed"), QStringLiteral("abc"), QStringLiteral("jq")}));
    QCOMPARE(model.catalogPackages().size(), 3);
    QCOMPARE(model.outdated().size(), 1);
}

void TestAppModel::fiveQueriesRunTogether()
{
    // Every child waits until all five are running at once.
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setRendezvous(5);
    AppModel model(ZelkCLI(zelk.executable()));
    await(model.refresh(false));
    QVERIFY2(!model.errorMessage(), qPrintable(model.errorMessage().value_or(QString())));
    QVERIFY(model.lastRefresh());
    QCOMPARE(zelk.invocations().size(), 5);
}

void TestAppModel::statusFailureAfterVersionSuccess()
{
    FakeZelk zelk;
    setHealthy(zelk);
    AppModel model(ZelkCLI(zelk.executable()));
    await(model.refresh(false));
    const QDateTime firstRefresh = *model.lastRefresh();

    zelk.setDocument(words("version --json"), R"({"version":"2.0","protocol":2,"capabilities":[]})");
    zelk.setDocument(words("status --json"), "@exit 1\n");
    zelk.setDocument(words("list --json"), R"({"packages":[]})");
    zelk.setDocument(words("catalog --json"), R"({"packages":[]})");
    zelk.setDocument(words("outdated --json"), "[]");
    await(model.refresh(true));

    QCOMPARE(model.cliInfo()->version, QStringLiteral("2.0"));
    QCOMPARE(model.compatibilityIssue(), std::optional(CompatibilityIssue::tooNew(2, 1)));
    // Taken after the failure: earlier values stay.
    QCOMPARE(model.installed().size(), 1);
    QCOMPARE(model.catalog().size(), 3);
    QCOMPARE(model.outdated().size(), 1);
    QCOMPARE(model.status()->packages.size(), 1);
    QCOMPARE(model.errorMessage(), std::optional<QString>(QStringLiteral("`zelk` exited with status 1.")));
    QVERIFY(!model.isLoading());
    QCOMPARE(*model.lastRefresh(), firstRefresh);
    // The queries not taken still ran to their end.
    QCOMPARE(zelk.count(words("outdated --json")), 2);
}

void TestAppModel::firstErrorInTakingOrderWins()
{
    // Outdated fails at once; status fails later but is taken first.
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("status --json"), "@exit 4\n");
    zelk.setDocument(words("outdated --json"), "@exit 5\n");
    zelk.setSlow(QStringLiteral("status"), 300);
    AppModel model(ZelkCLI(zelk.executable()));
    await(model.refresh(false));
    QCOMPARE(model.errorMessage(), std::optional<QString>(QStringLiteral("`zelk` exited with status 4.")));
    QVERIFY(!model.lastRefresh());
}

void TestAppModel::successAfterFailureClearsTheError()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("list --json"), R"({"packages":[{"name":1}]})");
    AppModel model(ZelkCLI(zelk.executable()));
    await(model.refresh(false));
    QVERIFY(model.errorMessage());
    QVERIFY(model.errorMessage()->startsWith(QStringLiteral("Could not read `zelk` output: packages[0].name")));
    QVERIFY(!model.lastRefresh());

    setHealthy(zelk);
    QSignalSpy errors(&model, &AppModel::errorMessageChanged);
    await(model.refresh(true));
    QVERIFY(!model.errorMessage());
    QCOMPARE(errors.count(), 1);
    QVERIFY(model.lastRefresh());
}

void TestAppModel::compatibility_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<std::optional<CompatibilityIssue>>("issue");
    QTest::addRow("protocol 2 and no capabilities: too new wins")
        << QByteArray(R"({"version":"3.0","protocol":2,"capabilities":[]})")
        << std::optional(CompatibilityIssue::tooNew(2, 1));
    QTest::addRow("only status")
        << QByteArray(R"({"version":"0.8","protocol":1,"capabilities":["status"]})")
        << std::optional(CompatibilityIssue::missingCapabilities(QStringLiteral("0.8"), {QStringLiteral("json-progress")}));
    QTest::addRow("protocol 0 with both capabilities is fine")
        << QByteArray(R"({"version":"0.1","protocol":0,"capabilities":["status","json-progress"]})")
        << std::optional<CompatibilityIssue>();
}

void TestAppModel::compatibility()
{
    QFETCH(QByteArray, version);
    QFETCH(std::optional<CompatibilityIssue>, issue);
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("version --json"), version);
    AppModel model(ZelkCLI(zelk.executable()));
    await(model.refresh(false));
    QCOMPARE(model.compatibilityIssue(), issue);
}

void TestAppModel::equalAssignmentsDoNotNotify()
{
    FakeZelk zelk;
    setHealthy(zelk);
    AppModel model(ZelkCLI(zelk.executable()));
    await(model.refresh(false));
    QSignalSpy installed(&model, &AppModel::installedChanged);
    QSignalSpy catalog(&model, &AppModel::catalogChanged);
    QSignalSpy catalogPackages(&model, &AppModel::catalogPackagesChanged);
    QSignalSpy outdated(&model, &AppModel::outdatedChanged);
    QSignalSpy issue(&model, &AppModel::compatibilityIssueChanged);
    QSignalSpy error(&model, &AppModel::errorMessageChanged);
    QSignalSpy status(&model, &AppModel::statusChanged);
    QSignalSpy cliInfo(&model, &AppModel::cliInfoChanged);
    QSignalSpy loading(&model, &AppModel::isLoadingChanged);
    await(model.refresh(true));
    QCOMPARE(installed.count(), 0);
    QCOMPARE(catalog.count(), 0);
    QCOMPARE(catalogPackages.count(), 0);
    QCOMPARE(outdated.count(), 0);
    QCOMPARE(issue.count(), 0);
    QCOMPARE(error.count(), 0);
    // Records without equality notify on every assignment.
    QCOMPARE(status.count(), 1);
    QCOMPARE(cliInfo.count(), 1);
    QCOMPARE(loading.count(), 2);

    await(model.refreshMirrorAndIndex());
    QSignalSpy mirror(&model, &AppModel::mirrorChanged);
    zelk.setDocument(words("mirror get --json"), R"({"mirrors":[]})");
    zelk.setDocument(words("index status --json"), R"({"path":"/i","exists":true})");
    await(model.refreshMirrorAndIndex());
    await(model.refreshMirrorAndIndex());
    QCOMPARE(mirror.count(), 2);
}

void TestAppModel::overlappingRefreshes()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setSlow(QStringLiteral("outdated"), 200);
    AppModel model(ZelkCLI(zelk.executable()));
    auto first = model.refresh(false);
    auto second = model.refresh(true);
    QVERIFY(model.isLoading());
    await(std::move(first));
    // The first to finish ends the loading state.
    QVERIFY(!model.isLoading());
    await(std::move(second));
    QVERIFY(!model.isLoading());
    QVERIFY(!model.errorMessage());
    QCOMPARE(zelk.count(words("version --json")), 2);
}

void TestAppModel::partialRefreshes()
{
    FakeZelk zelk;
    setHealthy(zelk);
    zelk.setDocument(words("doctor --raw"), "@exit 1\nerror\tindex\tstale\n");
    zelk.setDocument(words("mirror get --json"), R"({"mirrors":[{"name":"main","source":"default"}]})");
    zelk.setDocument(words("index status --json"), "@exit 3\n");
    AppModel model(ZelkCLI(zelk.executable()));
    QSignalSpy loading(&model, &AppModel::isLoadingChanged);

    await(model.refreshDoctor());
    QCOMPARE(model.doctorFindings().size(), 1);
    await(model.refreshOutdated());
    QCOMPARE(model.outdated().size(), 1);
    // Data sources first; the index failure is reported and the sources stay.
    await(model.refreshMirrorAndIndex());
    QCOMPARE(model.mirror()->mirrors.size(), 1);
    QVERIFY(!model.indexStatus());
    QCOMPARE(model.errorMessage(), std::optional<QString>(QStringLiteral("`zelk` exited with status 3.")));
    QCOMPARE(loading.count(), 0);
    QVERIFY(!model.lastRefresh());

    // refreshIndex: refresh (status ignored), then the index status again.
    zelk.setDocument(words("index refresh"), "@exit 2\n");
    zelk.setDocument(words("index status --json"), R"({"path":"/i","exists":true,"fresh":true})");
    await(model.refreshIndex());
    QVERIFY(model.indexStatus());
    QCOMPARE(model.indexStatus()->fresh, std::optional<bool>(true));
}

void TestAppModel::refreshIndexThatCannotStart()
{
    AppModel model(ZelkCLI(QStringLiteral(FIXTURE_BIN_DIR "/no-such-zelk")));
    await(model.refreshIndex());
    QVERIFY(model.errorMessage());
    QVERIFY(model.errorMessage()->startsWith(QStringLiteral("Could not start `zelk`: ")));
    QVERIFY(!model.indexStatus());
}

REVEZE_TEST_MAIN(TestAppModel)
#include "tst_appmodel.moc"
