// The application model's refresh flows, against the scripted zelk
// (recording_zelk): every query is a real child process.

#include "GuiTestSupport.h"
#include "HealthyZelk.h"
#include "TestSupport.h"

#include "AppModel.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using namespace ReveZE;
using namespace ZelkKit;
using TestSupport::await;
using TestSupport::FakeZelk;
using TestSupport::setHealthy;
using TestSupport::words;

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
    void catalogChangesNotifyWhatChanged_data();
    void catalogChangesNotifyWhatChanged();
    void overlappingRefreshesKeepNamesAndRecordsTogether();
    void overlappingRefreshes();
    void partialRefreshes();
    void refreshIndexThatCannotStart();
    void doctorRunThatCheckedNothing_data();
    void doctorRunThatCheckedNothing();
    void failedIndexRefreshIsReported_data();
    void failedIndexRefreshIsReported();
    void partialRefreshesSayWhetherTheySucceeded();

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

void TestAppModel::catalogChangesNotifyWhatChanged_data()
{
    QTest::addColumn<QByteArray>("catalog");
    QTest::addColumn<int>("packagesNotes");
    QTest::addColumn<int>("namesNotes");
    QTest::addColumn<QStringList>("names");
    const QStringList same{QStringLiteral("zed"), QStringLiteral("abc"), QStringLiteral("jq")};
    QTest::addRow("a newer version: the records change, the names stay")
        << QByteArray(R"({"packages":[{"name":"zed","kind":"pkg","versions":["1"]},
            {"name":"abc","kind":"deps","versions":[]},
            {"name":"jq","kind":"pkg","latest":"1.8","versions":["1.8"]}]})")
        << 1 << 0 << same;
    QTest::addRow("a package more: both change")
        << QByteArray(R"({"packages":[{"name":"zed","kind":"pkg","versions":["1"]},
            {"name":"abc","kind":"deps","versions":[]},
            {"name":"jq","kind":"pkg","latest":"1.7.1","versions":["1.7.1"]},
            {"name":"fd","kind":"pkg","versions":[]}]})")
        << 1 << 1 << QStringList{QStringLiteral("zed"), QStringLiteral("abc"), QStringLiteral("jq"), QStringLiteral("fd")};
    QTest::addRow("an empty index: both change") << QByteArray(R"({"packages":[]})") << 1 << 1 << QStringList();
}

// The comparison with the shown catalog runs off the GUI thread; what it
// finds decides which of the two signals fire, each once.
void TestAppModel::catalogChangesNotifyWhatChanged()
{
    QFETCH(QByteArray, catalog);
    QFETCH(int, packagesNotes);
    QFETCH(int, namesNotes);
    QFETCH(QStringList, names);
    FakeZelk zelk;
    setHealthy(zelk);
    AppModel model(ZelkCLI(zelk.executable()));
    await(model.refresh(false));
    QSignalSpy packages(&model, &AppModel::catalogPackagesChanged);
    QSignalSpy catalogNames(&model, &AppModel::catalogChanged);
    zelk.setDocument(words("catalog --json"), catalog);
    await(model.refresh(true));
    QCOMPARE(packages.count(), packagesNotes);
    QCOMPARE(catalogNames.count(), namesNotes);
    QCOMPARE(model.catalog(), names);
    QCOMPARE(model.catalogPackages().size(), names.size());
    QVERIFY(!model.errorMessage());
}

// Two refreshes whose catalogs arrive together both compare with the same
// shown catalog; the one applied second finds it replaced and compares again.
// Whichever wins, the names are those of the records, and each signal fired
// once per real change.
void TestAppModel::overlappingRefreshesKeepNamesAndRecordsTogether()
{
    using GuiTestSupport::FakeStore;
    auto *store = new FakeStore;
    AppModel model(store);
    auto catalogOf = [](QStringList names) {
        QList<CatalogPackage> packages;
        for (const QString &name : names) {
            CatalogPackage package;
            package.name = name;
            packages.append(package);
        }
        return packages;
    };
    for (const bool sameCatalog : {true, false}) {
        store->catalogPackages = catalogOf({QStringLiteral("jq"), QStringLiteral("fd")});
        await(model.refresh(false));
        QSignalSpy names(&model, &AppModel::catalogChanged);
        store->hold(FakeStore::Query::Catalog);
        store->catalogPackages = catalogOf({QStringLiteral("jq"), QStringLiteral("fd"), QStringLiteral("bat")});
        auto first = model.refresh(true);
        if (!sameCatalog)
            store->catalogPackages = catalogOf({QStringLiteral("rg")});
        auto second = model.refresh(true);
        store->release();
        await(std::move(first));
        await(std::move(second));
        QStringList shown;
        for (const CatalogPackage &package : model.catalogPackages())
            shown.append(package.name);
        QCOMPARE(model.catalog(), shown);
        QVERIFY(shown.size() == 3 || (!sameCatalog && shown == QStringList{QStringLiteral("rg")}));
        if (sameCatalog)
            QCOMPARE(names.count(), 1);
        else
            QVERIFY(names.count() >= 1 && names.count() <= 2);
    }
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

void TestAppModel::doctorRunThatCheckedNothing_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("exitStatus");     // RECORDING_ZELK_EXIT, for answers without "@exit"
    QTest::addColumn<QByteArray>("stderrText");
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<int>("findings");       // afterwards; the earlier run left 1
    QTest::addColumn<QString>("error");      // empty: none

    QTest::addRow("findings: the status is their number") << QByteArray("@exit 2\nerror\ta\tb\nwarn\tc\td\n") << 0
                                                           << QByteArray() << true << 2 << QString();
    QTest::addRow("findings and a status that is not their number")
        << QByteArray("@exit 7\nwarn\tc\td\n") << 0 << QByteArray() << true << 1 << QString();
    QTest::addRow("clean: status 0, nothing found") << QByteArray("") << 0 << QByteArray() << true << 0 << QString();
    QTest::addRow("status without findings or message")
        << QByteArray("@exit 2\n") << 0 << QByteArray() << false << 1 << QStringLiteral("`zelk` exited with status 2.");
    QTest::addRow("status without findings, message on stderr")
        << QByteArray("") << 1 << QByteArray("zelk doctor: cannot read /opt/rurirud/pkgs\n") << false << 1
        << QStringLiteral("zelk doctor: cannot read /opt/rurirud/pkgs");
    QTest::addRow("crashed silently") << QByteArray("@abort\n") << 0 << QByteArray() << false << 1
                                      << QStringLiteral("`zelk` exited with status %1.").arg(SIGABRT);
    // Half a run's findings are not the tree's.
    QTest::addRow("crashed after a finding") << QByteArray("@abort\nwarn\tc\td\n") << 0 << QByteArray() << false
                                             << 1 << QStringLiteral("warn\tc\td");
}

void TestAppModel::doctorRunThatCheckedNothing()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, exitStatus);
    QFETCH(QByteArray, stderrText);
    QFETCH(bool, succeeded);
    QFETCH(int, findings);
    QFETCH(QString, error);

    FakeZelk zelk;
    zelk.setDocument(words("doctor --raw"), "@exit 1\ninfo\tshell\tPATH order\n");
    AppModel model(ZelkCLI(zelk.executable()));
    QVERIFY(await(model.refreshDoctor()));
    QCOMPARE(model.doctorFindings().size(), 1);

    zelk.setDocument(words("doctor --raw"), answer);
    zelk.setExitStatus(exitStatus);
    zelk.setStandardError(stderrText);
    QCOMPARE(await(model.refreshDoctor()), succeeded);
    QCOMPARE(model.doctorFindings().size(), findings);
    QCOMPARE(model.errorMessage(), error.isEmpty() ? std::nullopt : std::optional<QString>(error));
    if (!succeeded)
        QCOMPARE(model.doctorFindings().first().check, QStringLiteral("shell"));
}

void TestAppModel::failedIndexRefreshIsReported_data()
{
    QTest::addColumn<int>("refreshStatus");
    QTest::addColumn<QByteArray>("refreshStderr");
    QTest::addColumn<QByteArray>("statusAnswer");
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<bool>("statusRead");
    QTest::addColumn<QString>("error");

    const QByteArray fresh = R"(@exit 0
{"path":"/opt/rurirud/var/index","exists":true,"fresh":true,"age_seconds":0})";
    QTest::addRow("refreshed") << 0 << QByteArray() << fresh << true << true << QString();
    QTest::addRow("another zelk holds the lock")
        << 1 << QByteArray("zelk index refresh: another zelk (pid 4242) is changing this install\n") << fresh << false
        << true << QStringLiteral("zelk index refresh: another zelk (pid 4242) is changing this install");
    QTest::addRow("failed without a word") << 2 << QByteArray() << fresh << false << true
                                           << QStringLiteral("`zelk` exited with status 2.");
    // The later failure wins.
    QTest::addRow("refresh and status read both failed")
        << 1 << QByteArray("network is unreachable\n") << QByteArray("@exit 3\n") << false << false
        << QStringLiteral("`zelk` exited with status 3.");
}

void TestAppModel::failedIndexRefreshIsReported()
{
    QFETCH(int, refreshStatus);
    QFETCH(QByteArray, refreshStderr);
    QFETCH(QByteArray, statusAnswer);
    QFETCH(bool, succeeded);
    QFETCH(bool, statusRead);
    QFETCH(QString, error);

    FakeZelk zelk;
    zelk.setDocument(words("index refresh"), "");
    zelk.setExitStatus(refreshStatus);
    zelk.setStandardError(refreshStderr);
    zelk.setDocument(words("index status --json"), statusAnswer);
    AppModel model(ZelkCLI(zelk.executable()));
    QSignalSpy errors(&model, &AppModel::errorMessageChanged);

    QCOMPARE(await(model.refreshIndex()), succeeded);
    // Whatever the refresh said, the index status is read again.
    QCOMPARE(zelk.count(words("index status --json")), 1);
    QCOMPARE(bool(model.indexStatus()), statusRead);
    QCOMPARE(model.errorMessage(), error.isEmpty() ? std::nullopt : std::optional<QString>(error));
    if (!succeeded && !statusRead)
        QCOMPARE(errors.count(), 2);
}

void TestAppModel::partialRefreshesSayWhetherTheySucceeded()
{
    FakeZelk zelk;
    zelk.setDocument(words("mirror get --json"), R"({"mirrors":[{"name":"index","source":"default"}]})");
    zelk.setDocument(words("index status --json"), R"({"path":"/i","exists":true})");
    AppModel model(ZelkCLI(zelk.executable()));
    QVERIFY(await(model.refreshMirrorAndIndex()));
    QVERIFY(!model.errorMessage());

    zelk.setDocument(words("index status --json"), "@exit 4\n");
    QVERIFY(!await(model.refreshMirrorAndIndex()));
    QVERIFY(model.mirror());
    zelk.removeDocument(words("mirror get --json"));
    QVERIFY(!await(model.refreshMirrorAndIndex()));

    // Without a store nothing runs, and nothing was refreshed.
    AppModel storeless(static_cast<CatalogStore *>(nullptr));
    QVERIFY(!await(storeless.refreshMirrorAndIndex()));
    QVERIFY(!await(storeless.refreshIndex()));
    QVERIFY(!await(storeless.refreshDoctor()));
    QVERIFY(!storeless.errorMessage());
}

REVEZE_TEST_MAIN(TestAppModel)
#include "tst_appmodel.moc"
