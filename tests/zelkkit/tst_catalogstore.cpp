// CatalogStore against a scripted zelk that counts its runs: when the catalog
// names and the package information come from the cache and when zelk runs,
// and that an index refresh or any end of an install stream empties both.

#include "TestSupport.h"

#include "CatalogStore.h"
#include "ProcessRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <memory>

using namespace ZelkKit;
using TestSupport::await;
using TestSupport::fixture;

namespace {

constexpr int childTimeout = 60000;

const QStringList searchAll{QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--json")};
const QStringList indexRefresh{QStringLiteral("index"), QStringLiteral("refresh")};

QStringList infoOf(const QString &name)
{
    return {QStringLiteral("info"), name, QStringLiteral("--json")};
}

QByteArray searchDocument(const QStringList &names)
{
    QByteArray list;
    for (const QString &name : names)
        list += (list.isEmpty() ? "\"" : ",\"") + name.toUtf8() + '"';
    return R"({"query":"","all":true,"packages":[)" + list + "]}";
}

QByteArray infoDocument(const QString &name, const QString &latest)
{
    return R"({"name":")" + name.toUtf8() + R"(","installed":[],"available":[")" + latest.toUtf8() + R"("],"latest":")"
        + latest.toUtf8() + R"("})";
}

// The path the store's cli runs, a link that a test can point at another
// program or remove, since the store's executable never changes.
class ZelkLink
{
public:
    ZelkLink() { point(fixture(QStringLiteral("recording_zelk"))); }
    QString path() const { return m_dir.filePath(QStringLiteral("zelk")); }
    void point(const QString &target) const
    {
        QFile::remove(path());
        QVERIFY(QFile::link(target, path()));
    }
    void remove() const { QVERIFY(QFile::remove(path())); }

private:
    QTemporaryDir m_dir;
};

QCoro::Task<QList<ZelkEvent>> readAll(ZelkEventStream *stream)
{
    QList<ZelkEvent> events;
    while (std::optional<ZelkEvent> event = co_await stream->next())
        events.append(std::move(*event));
    co_return events;
}

qint64 pidFrom(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toLongLong() : 0;
}

bool processIsGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

} // namespace

class TestCatalogStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void catalogWithinTheTimeToLiveRunsOnce_data();
    void catalogWithinTheTimeToLiveRunsOnce();
    void catalogAge_data();
    void catalogAge();
    void forceRunsAndRestartsThePeriod();
    void concurrentMissesBothRun();
    void failedCatalogKeepsTheEarlierAnswer_data();
    void failedCatalogKeepsTheEarlierAnswer();

    void infoIsCachedByTheExactName();
    void failedInfoKeepsTheEarlierEntry();

    void doctorPassesHowTheRunEnded_data();
    void doctorPassesHowTheRunEnded();
    void refreshIndexEmptiesTheCaches_data();
    void refreshIndexEmptiesTheCaches();
    void refreshIndexThatCannotStartKeepsTheCaches();

    void operationStartsAtOnceWithTheProgressSwitch();
    void anyEndOfAnOperationEmptiesTheCaches_data();
    void anyEndOfAnOperationEmptiesTheCaches();
    void storeGoneBeforeItsWorkEnds();
};

void TestCatalogStore::cleanup()
{
    QTRY_COMPARE_WITH_TIMEOUT(ProcessRegistry::instance().liveCount(), 0, childTimeout);
}

void TestCatalogStore::catalogWithinTheTimeToLiveRunsOnce_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addRow("three names") << QStringList{u"jq"_qs, u"fd"_qs, u"ripgrep"_qs};
    QTest::addRow("an empty index is an answer too") << QStringList{};
}

void TestCatalogStore::catalogWithinTheTimeToLiveRunsOnce()
{
    QFETCH(QStringList, names);
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument(names));
    CatalogStore store(ZelkCLI(zelk.executable()), 600);

    const Result<QStringList> first = await(store.catalog(false));
    QVERIFY(first);
    QCOMPARE(first.value(), names);
    const Result<QStringList> second = await(store.catalog(false));
    QVERIFY(second);
    QCOMPARE(second.value(), names);
    QCOMPARE(zelk.invocations(), QStringList{u"3: search --all --json"_qs});
}

void TestCatalogStore::catalogAge_data()
{
    QTest::addColumn<double>("ttl");
    QTest::addColumn<qint64>("ageMs");
    QTest::addColumn<int>("runs");
    QTest::addRow("no time passed") << 600.0 << qint64(0) << 1;
    QTest::addRow("a millisecond short of the time to live") << 600.0 << qint64(599999) << 1;
    QTest::addRow("age equal to the time to live has expired") << 600.0 << qint64(600000) << 2;
    QTest::addRow("older") << 600.0 << qint64(3600000) << 2;
    QTest::addRow("the clock went back an hour: fresh") << 600.0 << qint64(-3600000) << 1;
    QTest::addRow("a fractional time to live") << 1.5 << qint64(1500) << 2;
    QTest::addRow("a fractional time to live, not yet") << 1.5 << qint64(1499) << 1;
    QTest::addRow("no time to live: nothing is fresh") << 0.0 << qint64(0) << 2;
}

void TestCatalogStore::catalogAge()
{
    QFETCH(double, ttl);
    QFETCH(qint64, ageMs);
    QFETCH(int, runs);
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs}));
    CatalogStore store(ZelkCLI(zelk.executable()), ttl);
    const QDateTime start = QDateTime::fromString(u"2024-03-09T10:00:00Z"_qs, Qt::ISODate);
    QDateTime now = start;
    store.setClock([&now] { return now; });

    QVERIFY(await(store.catalog(false)));
    now = start.addMSecs(ageMs);
    const Result<QStringList> again = await(store.catalog(false));
    QVERIFY(again);
    QCOMPARE(again.value(), QStringList{u"jq"_qs});
    QCOMPARE(zelk.count(searchAll), runs);
}

void TestCatalogStore::forceRunsAndRestartsThePeriod()
{
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs}));
    CatalogStore store(ZelkCLI(zelk.executable()), 600);
    const QDateTime start = QDateTime::fromString(u"2024-03-09T10:00:00Z"_qs, Qt::ISODate);
    QDateTime now = start;
    store.setClock([&now] { return now; });

    QVERIFY(await(store.catalog(false)));
    // Forced within the period: runs anyway, and answers what zelk says now.
    now = start.addSecs(500);
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs, u"fd"_qs}));
    const Result<QStringList> forced = await(store.catalog(true));
    QVERIFY(forced);
    QCOMPARE(forced.value(), (QStringList{u"jq"_qs, u"fd"_qs}));
    QCOMPARE(zelk.count(searchAll), 2);
    QVERIFY(await(store.catalog(true)));
    QCOMPARE(zelk.count(searchAll), 3);

    // 1099 s after the first fetch but 599 s after the last forced one.
    now = start.addSecs(500 + 599);
    const Result<QStringList> cached = await(store.catalog(false));
    QVERIFY(cached);
    QCOMPARE(cached.value(), (QStringList{u"jq"_qs, u"fd"_qs}));
    QCOMPARE(zelk.count(searchAll), 3);
    now = start.addSecs(500 + 600);
    QVERIFY(await(store.catalog(false)));
    QCOMPARE(zelk.count(searchAll), 4);
}

void TestCatalogStore::concurrentMissesBothRun()
{
    // Misses are not merged: each call that finds no fresh cache runs zelk,
    // and the cache holds an answer afterwards.
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs}));
    CatalogStore store(ZelkCLI(zelk.executable()), 600);
    auto first = store.catalog(false);
    auto second = store.catalog(false);
    QVERIFY(await(std::move(first)));
    QVERIFY(await(std::move(second)));
    QCOMPARE(zelk.count(searchAll), 2);
    QVERIFY(store.hasCatalogCache());
    QVERIFY(await(store.catalog(false)));
    QCOMPARE(zelk.count(searchAll), 2);
}

void TestCatalogStore::failedCatalogKeepsTheEarlierAnswer_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<int>("errorKind");
    QTest::addRow("zelk fails") << QByteArray(R"({"packages":[]})") << 1 << int(ZelkCLIError::Kind::CommandFailed);
    QTest::addRow("the document does not decode")
        << QByteArray(R"({"query":"","all":true,"packages":"jq"})") << 0 << int(ZelkCLIError::Kind::DecodeFailed);
}

void TestCatalogStore::failedCatalogKeepsTheEarlierAnswer()
{
    QFETCH(QByteArray, document);
    QFETCH(int, exitStatus);
    QFETCH(int, errorKind);
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs, u"fd"_qs}));
    CatalogStore store(ZelkCLI(zelk.executable()), 600);
    const QDateTime start = QDateTime::fromString(u"2024-03-09T10:00:00Z"_qs, Qt::ISODate);
    QDateTime now = start;
    store.setClock([&now] { return now; });
    QVERIFY(await(store.catalog(false)));

    now = start.addSecs(700);
    zelk.setDocument(searchAll, document);
    zelk.setExitStatus(exitStatus);
    const Result<QStringList> failed = await(store.catalog(false));
    QVERIFY(!failed);
    QCOMPARE(int(failed.error().kind()), errorKind);
    QCOMPARE(zelk.count(searchAll), 2);

    // The earlier names are still there, with their fetch time: 100 s after
    // it they are fresh, whatever zelk would say now.
    zelk.setExitStatus(0);
    zelk.setDocument(searchAll, searchDocument({u"other"_qs}));
    now = start.addSecs(100);
    const Result<QStringList> cached = await(store.catalog(false));
    QVERIFY(cached);
    QCOMPARE(cached.value(), (QStringList{u"jq"_qs, u"fd"_qs}));
    QCOMPARE(zelk.count(searchAll), 2);
}

void TestCatalogStore::infoIsCachedByTheExactName()
{
    TestSupport::FakeZelk zelk;
    zelk.setDocument(infoOf(u"jq"_qs), infoDocument(u"jq"_qs, u"1.7.1"_qs));
    zelk.setDocument(infoOf(u"JQ"_qs), infoDocument(u"JQ"_qs, u"0.1"_qs));
    CatalogStore store(ZelkCLI(zelk.executable()), 600);

    for (int i = 0; i < 2; ++i) {
        const Result<PackageInfo> lower = await(store.info(u"jq"_qs, false));
        QVERIFY(lower);
        QCOMPARE(lower->name, u"jq"_qs);
        const Result<PackageInfo> upper = await(store.info(u"JQ"_qs, false));
        QVERIFY(upper);
        QCOMPARE(upper->name, u"JQ"_qs);
    }
    QCOMPARE(zelk.count(infoOf(u"jq"_qs)), 1);
    QCOMPARE(zelk.count(infoOf(u"JQ"_qs)), 1);

    // Forced: runs again and replaces the entry.
    zelk.setDocument(infoOf(u"jq"_qs), infoDocument(u"jq"_qs, u"1.8.0"_qs));
    const Result<PackageInfo> forced = await(store.info(u"jq"_qs, true));
    QVERIFY(forced);
    QCOMPARE(forced->latest, u"1.8.0"_qs);
    const Result<PackageInfo> cached = await(store.info(u"jq"_qs, false));
    QVERIFY(cached);
    QCOMPARE(cached->latest, u"1.8.0"_qs);
    QCOMPARE(zelk.count(infoOf(u"jq"_qs)), 2);
}

void TestCatalogStore::failedInfoKeepsTheEarlierEntry()
{
    TestSupport::FakeZelk zelk;
    zelk.setDocument(infoOf(u"jq"_qs), infoDocument(u"jq"_qs, u"1.7.1"_qs));
    CatalogStore store(ZelkCLI(zelk.executable()), 600);
    QVERIFY(await(store.info(u"jq"_qs, false)));

    zelk.removeDocument(infoOf(u"jq"_qs));
    const Result<PackageInfo> failed = await(store.info(u"jq"_qs, true));
    QVERIFY(!failed);
    QCOMPARE(failed.error().kind(), ZelkCLIError::Kind::CommandFailed);
    QCOMPARE(failed.error().message(), u"no such document: info_jq_--json"_qs);

    const Result<PackageInfo> cached = await(store.info(u"jq"_qs, false));
    QVERIFY(cached);
    QCOMPARE(cached->latest, u"1.7.1"_qs);
    QCOMPARE(zelk.count(infoOf(u"jq"_qs)), 2);

    // A name that failed the first time is not cached at all.
    const Result<PackageInfo> missing = await(store.info(u"fd"_qs, false));
    QVERIFY(!missing);
    QVERIFY(!await(store.info(u"fd"_qs, false)));
    QCOMPARE(zelk.count(infoOf(u"fd"_qs)), 2);
}

// zelk exits with the number of findings; the store hands up the findings
// with the status, the crash flag and the message, and judges nothing.
void TestCatalogStore::doctorPassesHowTheRunEnded_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("standardError");
    QTest::addColumn<int>("findings");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("crashed");
    QTest::addColumn<QString>("message");
    const QByteArray two = "warning\tlinks\tjq is not linked\nerror\tperms\t/opt/rurirud is not writable\n";
    QTest::addRow("two findings, status 2") << QByteArray("@exit 2\n" + two) << QByteArray() << 2 << 2 << false
                                           << u"warning\tlinks\tjq is not linked\nerror\tperms\t/opt/rurirud is not writable"_qs;
    QTest::addRow("clean") << QByteArray() << QByteArray() << 0 << 0 << false << QString();
    QTest::addRow("no finding, status 4") << QByteArray("@exit 4\n") << QByteArray() << 0 << 4 << false << QString();
    QTest::addRow("no finding, a complaint") << QByteArray() << QByteArray("cannot read the tree\n") << 0 << 0
                                             << false << u"cannot read the tree"_qs;
    QTest::addRow("crashed") << QByteArray("@abort\n") << QByteArray() << 0 << int(SIGABRT) << true << QString();
}

void TestCatalogStore::doctorPassesHowTheRunEnded()
{
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, standardError);
    QFETCH(int, findings);
    QFETCH(int, exitCode);
    QFETCH(bool, crashed);
    QFETCH(QString, message);
    TestSupport::FakeZelk zelk;
    zelk.setDocument({u"doctor"_qs, u"--raw"_qs}, answer);
    zelk.setStandardError(standardError);
    CatalogStore store(ZelkCLI(zelk.executable()), 600);
    const Result<DoctorRun> run = await(store.doctor());
    QVERIFY(run);
    QCOMPARE(run->findings.size(), findings);
    QCOMPARE(run->exitCode, exitCode);
    QCOMPARE(run->crashed, crashed);
    QCOMPARE(run->message, message);
}

void TestCatalogStore::refreshIndexEmptiesTheCaches_data()
{
    QTest::addColumn<bool>("hasDocument");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QByteArray>("standardError");
    QTest::addRow("exit 0") << true << 0 << QByteArray();
    QTest::addRow("exit 1, no output") << false << 1 << QByteArray();
    QTest::addRow("exit 3 with a complaint") << true << 3 << QByteArray("mirror unreachable\n");
}

void TestCatalogStore::refreshIndexEmptiesTheCaches()
{
    QFETCH(bool, hasDocument);
    QFETCH(int, exitStatus);
    QFETCH(QByteArray, standardError);
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs}));
    zelk.setDocument(infoOf(u"jq"_qs), infoDocument(u"jq"_qs, u"1.7.1"_qs));
    if (hasDocument)
        zelk.setDocument(indexRefresh, "refreshed 2 sources\n");
    CatalogStore store(ZelkCLI(zelk.executable()), 600);
    QVERIFY(await(store.catalog(false)));
    QVERIFY(await(store.info(u"jq"_qs, false)));

    zelk.setExitStatus(exitStatus);
    zelk.setStandardError(standardError);
    const Result<ZelkCommandResult> refreshed = await(store.refreshIndex());
    QVERIFY(refreshed);
    QCOMPARE(refreshed->exitCode, exitStatus);
    if (hasDocument)
        QCOMPARE(refreshed->stderrText, QString::fromUtf8(standardError));
    QCOMPARE(zelk.count(indexRefresh), 1);
    QVERIFY(!store.hasCatalogCache());
    QCOMPARE(store.cachedInfoCount(), 0);

    zelk.setExitStatus(0);
    zelk.setStandardError(QByteArray());
    QVERIFY(await(store.catalog(false)));
    QVERIFY(await(store.info(u"jq"_qs, false)));
    QCOMPARE(zelk.count(searchAll), 2);
    QCOMPARE(zelk.count(infoOf(u"jq"_qs)), 2);
}

void TestCatalogStore::refreshIndexThatCannotStartKeepsTheCaches()
{
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs}));
    zelk.setDocument(infoOf(u"jq"_qs), infoDocument(u"jq"_qs, u"1.7.1"_qs));
    ZelkLink link;
    CatalogStore store(ZelkCLI(link.path()), 600);
    QVERIFY(await(store.catalog(false)));
    QVERIFY(await(store.info(u"jq"_qs, false)));

    link.remove();
    const Result<ZelkCommandResult> refreshed = await(store.refreshIndex());
    QVERIFY(!refreshed);
    QCOMPARE(refreshed.error().kind(), ZelkCLIError::Kind::LaunchFailed);
    QVERIFY(store.hasCatalogCache());
    QCOMPARE(store.cachedInfoCount(), 1);
    // Served from the caches: with zelk gone, a run could only fail.
    const Result<QStringList> names = await(store.catalog(false));
    QVERIFY(names);
    QCOMPARE(names.value(), QStringList{u"jq"_qs});
    QVERIFY(await(store.info(u"jq"_qs, false)));
    QCOMPARE(zelk.invocations().size(), 2);
}

void TestCatalogStore::operationStartsAtOnceWithTheProgressSwitch()
{
    TestSupport::FakeZelk zelk;
    const QStringList composed{u"upgrade"_qs, u"jq"_qs, u"--yes"_qs};
    zelk.setDocument(composed + QStringList{u"--json-progress"_qs},
                     R"({"event":"plan","steps":["fetch"]})" "\n" R"({"event":"done","package":"jq"})" "\n");
    CatalogStore store(ZelkCLI(zelk.executable()), 600);
    std::unique_ptr<ZelkEventStream> stream = store.operation(composed);
    QCOMPARE(stream->arguments(), composed + QStringList{u"--json-progress"_qs});
    // Nobody reads yet, and zelk runs all the same.
    QTRY_COMPARE_WITH_TIMEOUT(zelk.invocations(), QStringList{u"4: upgrade jq --yes --json-progress"_qs}, childTimeout);

    const QList<ZelkEvent> events = await(readAll(stream.get()));
    QCOMPARE(events.size(), 2);
    QVERIFY(events[0].is<ZelkEvent::Plan>());
    QCOMPARE(events[0].as<ZelkEvent::Plan>()->steps, QStringList{u"fetch"_qs});
    QVERIFY(events[1].is<ZelkEvent::Done>());
    QVERIFY(!stream->error());
}

void TestCatalogStore::anyEndOfAnOperationEmptiesTheCaches_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("exitStatus");
    // How the stream ends: "read" to its end, "cancel" or "drop" while zelk
    // still runs (then zelk is a child that waits to be terminated).
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("fails");
    QTest::addRow("success") << QByteArray(R"({"event":"done","package":"jq"})" "\n") << 0 << u"read"_qs << false;
    QTest::addRow("an error event")
        << QByteArray(R"({"event":"error","message":"disk full","code":"E_DISK"})" "\n") << 1 << u"read"_qs << false;
    QTest::addRow("commandFailed") << QByteArray() << 2 << u"read"_qs << true;
    QTest::addRow("cancelled") << QByteArray() << 0 << u"cancel"_qs << false;
    QTest::addRow("dropped") << QByteArray() << 0 << u"drop"_qs << false;
}

void TestCatalogStore::anyEndOfAnOperationEmptiesTheCaches()
{
    QFETCH(QByteArray, output);
    QFETCH(int, exitStatus);
    QFETCH(QString, end);
    QFETCH(bool, fails);
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs}));
    zelk.setDocument(infoOf(u"jq"_qs), infoDocument(u"jq"_qs, u"1.7.1"_qs));
    ZelkLink link;
    CatalogStore store(ZelkCLI(link.path()), 600);
    QVERIFY(await(store.catalog(false)));
    QVERIFY(await(store.info(u"jq"_qs, false)));

    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    std::unique_ptr<ZelkEventStream> stream;
    if (end == u"read") {
        const QStringList arguments{u"install"_qs, u"jq"_qs};
        zelk.setDocument(arguments + QStringList{u"--json-progress"_qs}, output);
        zelk.setExitStatus(exitStatus);
        stream = store.operation(arguments);
        const QList<ZelkEvent> events = await(readAll(stream.get()));
        QCOMPARE(events.isEmpty(), output.isEmpty());
        QCOMPARE(stream->error().has_value(), fails);
        zelk.setExitStatus(0);
    } else {
        // The child is hang_until_killed, given the pid file as its one word.
        link.point(fixture(QStringLiteral("hang_until_killed")));
        stream = store.operation({pidFile});
        QVERIFY(await(stream->next()).has_value());
        QTRY_VERIFY_WITH_TIMEOUT(pidFrom(pidFile) > 0, childTimeout);
        // Still running: nothing has been thrown away yet.
        QVERIFY(store.hasCatalogCache());
        QCOMPARE(store.cachedInfoCount(), 1);
        if (end == u"cancel")
            stream->cancel();
        else
            stream.reset();
        QTRY_VERIFY_WITH_TIMEOUT(processIsGone(pidFrom(pidFile)), childTimeout);
        link.point(fixture(QStringLiteral("recording_zelk")));
    }
    QVERIFY(!store.hasCatalogCache());
    QCOMPARE(store.cachedInfoCount(), 0);

    QVERIFY(await(store.catalog(false)));
    QVERIFY(await(store.info(u"jq"_qs, false)));
    QCOMPARE(zelk.count(searchAll), 2);
    QCOMPARE(zelk.count(infoOf(u"jq"_qs)), 2);
}

void TestCatalogStore::storeGoneBeforeItsWorkEnds()
{
    // The application never does this, but a query or a stream that
    // outlives its store must end cleanly.
    TestSupport::FakeZelk zelk;
    zelk.setDocument(searchAll, searchDocument({u"jq"_qs}));
    zelk.setDocument(infoOf(u"jq"_qs), infoDocument(u"jq"_qs, u"1.7.1"_qs));
    zelk.setDocument(indexRefresh, QByteArray());
    const QStringList arguments{u"install"_qs, u"jq"_qs};
    zelk.setDocument(arguments + QStringList{u"--json-progress"_qs}, R"({"event":"done"})" "\n");

    auto store = std::make_unique<CatalogStore>(ZelkCLI(zelk.executable()), 600);
    auto catalog = store->catalog(false);
    auto info = store->info(u"jq"_qs, false);
    auto refresh = store->refreshIndex();
    std::unique_ptr<ZelkEventStream> stream = store->operation(arguments);
    store.reset();

    const Result<QStringList> names = await(std::move(catalog));
    QVERIFY(names);
    QCOMPARE(names.value(), QStringList{u"jq"_qs});
    QVERIFY(await(std::move(info)));
    QVERIFY(await(std::move(refresh)));
    QCOMPARE(await(readAll(stream.get())).size(), 1);
    QVERIFY(!stream->error());
}

REVEZE_TEST_MAIN(TestCatalogStore)
#include "tst_catalogstore.moc"
