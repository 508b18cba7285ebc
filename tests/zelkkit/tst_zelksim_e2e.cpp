// ZelkKit against zelk-sim, the stand-in zelk: every query on a fresh copy of
// the demo tree decodes with the strict decoders, an install changes what the
// queries report, and each deliberate failure of zelk-sim arrives with its
// error code. Every test starts from its own state directory.

#include "TestSupport.h"

#include "ZelkCLI.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

#include <memory>
#include <optional>

using namespace ZelkKit;
using TestSupport::await;

namespace {

struct StreamOutcome {
    QList<ZelkEvent> events;
    std::optional<ZelkCLIError> error;

    QList<ZelkEvent::Error> errors() const
    {
        QList<ZelkEvent::Error> result;
        for (const ZelkEvent &event : events) {
            if (const auto *error = event.as<ZelkEvent::Error>())
                result.append(*error);
        }
        return result;
    }

    template<typename C>
    QList<C> all() const
    {
        QList<C> result;
        for (const ZelkEvent &event : events) {
            if (const auto *payload = event.as<C>())
                result.append(*payload);
        }
        return result;
    }
};

// Reads a stream to its end.
QCoro::Task<StreamOutcome> drain(std::unique_ptr<ZelkEventStream> stream)
{
    StreamOutcome outcome;
    while (const std::optional<ZelkEvent> event = co_await stream->next())
        outcome.events.append(*event);
    outcome.error = stream->error();
    co_return outcome;
}

QString describe(const ZelkCLIError &error)
{
    return error.errorDescription();
}

template<typename T>
QByteArray failureText(const Result<T> &result)
{
    return result ? QByteArray() : describe(result.error()).toUtf8();
}

QString loginName()
{
    const passwd *entry = getpwuid(geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

// A digest of every file under dir, to see that nothing wrote into it.
QByteArray treeDigest(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &path : std::as_const(files)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        hash.addData(path.toUtf8());
        hash.addData(file.readAll());
    }
    return hash.result().toHex();
}

QStringList installedNames(const ZelkCLI &cli)
{
    const Result<QList<InstalledPackage>> installed = await(cli.installed());
    QStringList names;
    if (installed) {
        for (const InstalledPackage &package : *installed)
            names.append(package.name);
    }
    return names;
}

QStringList args(std::initializer_list<const char *> words)
{
    QStringList list;
    for (const char *word : words)
        list.append(QString::fromUtf8(word));
    return list;
}

} // namespace

class TestZelkSimEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void everyQueryDecodesTheDemoTree();
    void concurrentQueriesSeedAFreshStateOnce();
    void infoOfAnUnknownNameFails();
    void doctorExitStatusCountsTheFindings();
    void indexRefreshMakesTheIndexFresh();

    void installChangesWhatTheQueriesReport();
    void installPullsInDependenciesAsDep();
    void upgradeReportsTheVersionItCameFrom_data();
    void upgradeReportsTheVersionItCameFrom();

    void deliberateFailures_data();
    void deliberateFailures();
    void safetySwitchesLetTheInstallThrough_data();
    void safetySwitchesLetTheInstallThrough();
    void anOperationHoldingTheLockRefusesAnother();
    void aCrashEndsTheStreamWithoutAnErrorEvent();
    void sigtermStopsAnOperationCleanly();

private:
    ZelkCLI cli() const { return ZelkCLI(QStringLiteral(ZELK_SIM_PATH)); }
    QString stateDir() const { return m_root->path() + QStringLiteral("/state"); }

    std::unique_ptr<QTemporaryDir> m_root;
    QByteArray m_demoDigest;
};

void TestZelkSimEndToEnd::initTestCase()
{
    QVERIFY(QFileInfo(QStringLiteral(ZELK_SIM_PATH)).isExecutable());
    m_demoDigest = treeDigest(QStringLiteral(ZELK_SIM_DEMO_DIR));
    QVERIFY(!m_demoDigest.isEmpty());
    // The children inherit this environment: no pauses between steps.
    qputenv("ZELK_SIM_DELAY_MS", "0");
    qputenv("ZELK_SIM_DEMO", QByteArrayLiteral(ZELK_SIM_DEMO_DIR));
}

void TestZelkSimEndToEnd::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    // A missing directory: zelk-sim seeds it from the demo tree on first use.
    qputenv("ZELK_SIM_STATE", stateDir().toLocal8Bit());
}

void TestZelkSimEndToEnd::cleanup()
{
    m_root.reset();
}

void TestZelkSimEndToEnd::cleanupTestCase()
{
    // Installs and upgrades ran against copies; the shipped tree is intact.
    QCOMPARE(treeDigest(QStringLiteral(ZELK_SIM_DEMO_DIR)), m_demoDigest);
}

void TestZelkSimEndToEnd::everyQueryDecodesTheDemoTree()
{
    const ZelkCLI zelk = cli();

    const Result<CLIInfo> version = await(zelk.versionInfo());
    QVERIFY2(version, failureText(version));
    QCOMPARE(version->protocolNumber, CLIInfo::supportedProtocol);
    QVERIFY(!version->isTooNew());
    QCOMPARE(version->missingRequiredCapabilities(), QStringList());
    QCOMPARE(version->baseDir, std::optional<QString>(QStringLiteral("/opt/rurirud")));

    const Result<QList<InstalledPackage>> installed = await(zelk.installed());
    QVERIFY2(installed, failureText(installed));
    QVERIFY(installed->size() >= 30);

    const Result<InstallStatus> status = await(zelk.status());
    QVERIFY2(status, failureText(status));
    QCOMPARE(status->baseDir, QStringLiteral("/opt/rurirud"));
    QCOMPARE(status->packages.size(), installed->size());
    bool sawPackage = false;
    bool sawDependency = false;
    for (const InstalledDetail &detail : status->packages) {
        sawPackage |= detail.kind == InstalledDetail::Kind::Package;
        sawDependency |= detail.kind == InstalledDetail::Kind::Dependency;
        if (detail.installedAt)
            QVERIFY2(detail.installedDate(), qPrintable(detail.name + QLatin1String(": ") + *detail.installedAt));
        // Every dependency of the demo tree is installed itself.
        for (const QString &dep : detail.deps)
            QVERIFY2(status->package(dep.section(QLatin1Char('@'), 0, 0)), qPrintable(detail.name + QLatin1String(" -> ") + dep));
    }
    QVERIFY(sawPackage && sawDependency);
    QVERIFY(status->dependents(QStringLiteral("oniguruma")).contains(QStringLiteral("jq")));
    QVERIFY(status->package(QStringLiteral("neovim"))->linkIsStale());

    const Result<CatalogDocument> catalog = await(zelk.catalogDocument());
    QVERIFY2(catalog, failureText(catalog));
    QVERIFY(catalog->packages.size() >= 200);
    int libraries = 0;
    for (const CatalogPackage &package : catalog->packages) {
        QVERIFY2(package.description && !package.description->isEmpty(), qPrintable(package.name));
        libraries += package.kind == CatalogPackage::Kind::Dependency ? 1 : 0;
    }
    QVERIFY(libraries > 0 && libraries < catalog->packages.size());

    const Result<QStringList> names = await(zelk.catalog());
    QVERIFY2(names, failureText(names));
    QCOMPARE(names->size(), catalog->packages.size());

    const Result<QList<OutdatedItem>> outdated = await(zelk.outdated());
    QVERIFY2(outdated, failureText(outdated));
    QVERIFY(outdated->size() >= 3);
    const auto jq = std::find_if(outdated->cbegin(), outdated->cend(),
                                 [](const OutdatedItem &item) { return item.name == QLatin1String("jq"); });
    QVERIFY(jq != outdated->cend());
    QCOMPARE(jq->installed, QStringLiteral("1.6"));

    const Result<PackageInfo> info = await(zelk.info(QStringLiteral("jq")));
    QVERIFY2(info, failureText(info));
    QCOMPARE(info->installed, QStringList{QStringLiteral("1.6")});
    QCOMPARE(info->availableVersion(), jq->latest);
    QVERIFY(info->hasUpgrade());
    QVERIFY(info->description.has_value());

    const Result<MirrorConfig> mirrors = await(zelk.mirrorConfig());
    QVERIFY2(mirrors, failureText(mirrors));
    QCOMPARE(mirrors->mirrors.size(), 3);
    const MirrorEntry &withAuth = mirrors->mirrors.at(1);
    QCOMPARE(withAuth.requiresAuth, std::optional<bool>(true));
    QVERIFY(withAuth.value && withAuth.value->contains(QLatin1String(":****@")));
    QVERIFY(!withAuth.value->contains(QLatin1String("tr0ub4dor3")));
    // A source that is not set has no address.
    QVERIFY(!mirrors->mirrors.at(2).value);

    const Result<IndexStatus> index = await(zelk.indexStatus());
    QVERIFY2(index, failureText(index));
    QVERIFY(index->exists);
    QCOMPARE(index->fresh, std::optional<bool>(false));
    QVERIFY(index->ageSeconds && index->maxAgeSeconds && *index->ageSeconds > *index->maxAgeSeconds);
    QCOMPARE(index->packages, std::optional<qint64>(catalog->packages.size()));

    const Result<QList<DoctorFinding>> doctor = await(zelk.doctor());
    QVERIFY2(doctor, failureText(doctor));
    QSet<QString> severities;
    for (const DoctorFinding &finding : *doctor)
        severities.insert(finding.severity);
    QVERIFY(severities.size() >= 3);
    QVERIFY(std::any_of(doctor->cbegin(), doctor->cend(), [](const DoctorFinding &f) { return f.isError(); }));

    const Result<QHash<QString, QString>> linked = await(zelk.linkedVersions());
    QVERIFY2(linked, failureText(linked));
    QCOMPARE(linked->value(QStringLiteral("jq")), QStringLiteral("1.6"));
    QCOMPARE(linked->value(QStringLiteral("neovim")), QStringLiteral("0.9.2"));

    const Result<QString> configuration = await(zelk.configuration());
    QVERIFY2(configuration, failureText(configuration));
    QVERIFY(configuration->startsWith(QLatin1String("base_dir\n/opt/rurirud\n\nmirror\n")));
    QVERIFY(configuration->contains(QLatin1String("deploy:****@")));
}

void TestZelkSimEndToEnd::concurrentQueriesSeedAFreshStateOnce()
{
    // ReveZE's first refresh starts five queries at once on a state that
    // does not exist yet; each must see the seeded tree complete.
    const ZelkCLI zelk = cli();
    auto version = zelk.versionInfo();
    auto status = zelk.status();
    auto installed = zelk.installed();
    auto catalog = zelk.catalogDocument();
    auto outdated = zelk.outdated();
    const auto versionResult = await(std::move(version));
    const auto statusResult = await(std::move(status));
    const auto installedResult = await(std::move(installed));
    const auto catalogResult = await(std::move(catalog));
    const auto outdatedResult = await(std::move(outdated));
    QVERIFY2(versionResult, failureText(versionResult));
    QVERIFY2(statusResult, failureText(statusResult));
    QVERIFY2(installedResult, failureText(installedResult));
    QVERIFY2(catalogResult, failureText(catalogResult));
    QVERIFY2(outdatedResult, failureText(outdatedResult));
    QCOMPARE(statusResult->packages.size(), installedResult->size());
    QVERIFY(!outdatedResult->isEmpty());
}

void TestZelkSimEndToEnd::infoOfAnUnknownNameFails()
{
    const Result<PackageInfo> info = await(cli().info(QStringLiteral("no-such-package")));
    QVERIFY(!info);
    QCOMPARE(info.error().kind(), ZelkCLIError::Kind::CommandFailed);
    QCOMPARE(info.error().exitCode(), 1);
    QVERIFY2(info.error().message().contains(QLatin1String("no-such-package")), qPrintable(info.error().message()));
}

void TestZelkSimEndToEnd::doctorExitStatusCountsTheFindings()
{
    const ZelkCLI zelk = cli();
    const Result<ZelkCommandResult> run = await(zelk.run(args({"doctor", "--raw"})));
    QVERIFY2(run, failureText(run));
    const QList<DoctorFinding> findings = DoctorFinding::parse(run->stdoutText);
    QVERIFY(!findings.isEmpty());
    QCOMPARE(qsizetype(run->exitCode), findings.size());
}

void TestZelkSimEndToEnd::indexRefreshMakesTheIndexFresh()
{
    const ZelkCLI zelk = cli();
    const Result<ZelkCommandResult> refresh = await(zelk.refreshIndex());
    QVERIFY2(refresh, failureText(refresh));
    QCOMPARE(refresh->exitCode, 0);
    const Result<IndexStatus> index = await(zelk.indexStatus());
    QVERIFY2(index, failureText(index));
    QCOMPARE(index->fresh, std::optional<bool>(true));
    QVERIFY(index->ageSeconds && *index->ageSeconds < *index->maxAgeSeconds);
    // The stale-index finding is gone with it.
    const Result<QList<DoctorFinding>> doctor = await(zelk.doctor());
    QVERIFY2(doctor, failureText(doctor));
    for (const DoctorFinding &finding : *doctor)
        QVERIFY2(finding.check != QLatin1String("index"), qPrintable(finding.id()));
}

void TestZelkSimEndToEnd::installChangesWhatTheQueriesReport()
{
    const ZelkCLI zelk = cli();
    QVERIFY(!installedNames(zelk).contains(QStringLiteral("eza")));

    const StreamOutcome outcome = await(drain(zelk.stream(args({"install", "eza", "--yes", "--json-progress"}))));
    QVERIFY2(!outcome.error, qPrintable(describe(*outcome.error)));
    QCOMPARE(outcome.errors().size(), 0);

    // Each kind of line zelk-sim writes arrives decoded, in a sensible order.
    QSet<ZelkEvent::Case> cases;
    for (const ZelkEvent &event : outcome.events)
        cases.insert(event.eventCase());
    const QSet<ZelkEvent::Case> expected{ZelkEvent::Case::Plan,    ZelkEvent::Case::Step,   ZelkEvent::Case::Progress,
                                         ZelkEvent::Case::Package, ZelkEvent::Case::Status, ZelkEvent::Case::Summary,
                                         ZelkEvent::Case::Done};
    QCOMPARE(cases, expected);
    QVERIFY(outcome.events.first().is<ZelkEvent::Plan>());
    QVERIFY(outcome.events.last().is<ZelkEvent::Done>());
    const QList<ZelkEvent::Progress> progress = outcome.all<ZelkEvent::Progress>();
    QVERIFY(progress.size() > 1);
    QCOMPARE(progress.last().percent, std::optional<qint64>(100));
    QCOMPARE(progress.last().done, progress.last().total);
    const QList<ZelkEvent::Status> statuses = outcome.all<ZelkEvent::Status>();
    QCOMPARE(statuses.size(), 1);
    QCOMPARE(statuses.first().package, QStringLiteral("eza"));
    QCOMPARE(statuses.first().state, QStringLiteral("installed"));
    const QList<ZelkEvent::Done> done = outcome.all<ZelkEvent::Done>();
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().package, QStringLiteral("eza"));
    QCOMPARE(done.first().linked, std::optional<bool>(true));

    QVERIFY(installedNames(zelk).contains(QStringLiteral("eza")));
    const Result<InstallStatus> status = await(zelk.status());
    QVERIFY2(status, failureText(status));
    const InstalledDetail *eza = status->package(QStringLiteral("eza"));
    QVERIFY(eza);
    QCOMPARE(eza->version, done.first().version);
    QCOMPARE(eza->kind, InstalledDetail::Kind::Package);
    QVERIFY(eza->requested);
    QVERIFY(eza->installedDate().has_value());
    QCOMPARE(eza->installedByUser, std::optional<QString>(loginName()));
    QVERIFY(!eza->linkIsStale());
    const Result<PackageInfo> info = await(zelk.info(QStringLiteral("eza")));
    QVERIFY2(info, failureText(info));
    QCOMPARE(info->installedVersion(), std::optional<QString>(eza->version));
}

void TestZelkSimEndToEnd::installPullsInDependenciesAsDep()
{
    // gnupg needs four libraries that the demo tree lacks.
    const ZelkCLI zelk = cli();
    const StreamOutcome outcome = await(drain(zelk.stream(args({"install", "gnupg", "--yes", "--json-progress"}))));
    QVERIFY2(!outcome.error, qPrintable(describe(*outcome.error)));
    QCOMPARE(outcome.errors().size(), 0);
    const QList<ZelkEvent::Summary> summary = outcome.all<ZelkEvent::Summary>();
    QCOMPARE(summary.size(), 1);
    QCOMPARE(summary.first().upgraded.size(), 5);
    QCOMPARE(summary.first().upgraded.last(), QStringLiteral("gnupg"));

    const Result<InstallStatus> status = await(zelk.status());
    QVERIFY2(status, failureText(status));
    const InstalledDetail *gnupg = status->package(QStringLiteral("gnupg"));
    QVERIFY(gnupg);
    QCOMPARE(gnupg->kind, InstalledDetail::Kind::Package);
    QCOMPARE(gnupg->deps.size(), 4);
    for (const QString &dep : gnupg->deps) {
        const InstalledDetail *library = status->package(dep.section(QLatin1Char('@'), 0, 0));
        QVERIFY2(library, qPrintable(dep));
        QCOMPARE(library->kind, InstalledDetail::Kind::Dependency);
        QVERIFY(!library->requested);
        QCOMPARE(dep, library->name + QLatin1Char('@') + library->version);
    }
    QCOMPARE(status->dependents(QStringLiteral("libgpg-error")),
             (QStringList{QStringLiteral("gnupg"), QStringLiteral("libassuan"), QStringLiteral("libgcrypt")}));
}

void TestZelkSimEndToEnd::upgradeReportsTheVersionItCameFrom_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("versionsAfter");
    QTest::addRow("keeps the old version") << args({"upgrade", "jq", "--yes", "--json-progress"})
                                           << args({"1.6", "1.7.1"});
    QTest::addRow("--remove-old-versions")
        << args({"upgrade", "jq", "--remove-old-versions", "--yes", "--json-progress"}) << args({"1.7.1"});
    QTest::addRow("--all") << args({"upgrade", "--all", "--yes", "--json-progress"}) << args({"1.6", "1.7.1"});
}

void TestZelkSimEndToEnd::upgradeReportsTheVersionItCameFrom()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, versionsAfter);
    const ZelkCLI zelk = cli();
    const StreamOutcome outcome = await(drain(zelk.stream(arguments)));
    QVERIFY2(!outcome.error, qPrintable(describe(*outcome.error)));
    QCOMPARE(outcome.errors().size(), 0);

    std::optional<ZelkEvent::Status> jq;
    for (const ZelkEvent::Status &status : outcome.all<ZelkEvent::Status>()) {
        if (status.package == QLatin1String("jq"))
            jq = status;
    }
    QVERIFY(jq);
    QCOMPARE(jq->state, QStringLiteral("upgraded"));
    QCOMPARE(jq->fromVersion, std::optional<QString>(QStringLiteral("1.6")));
    QCOMPARE(jq->version, QStringLiteral("1.7.1"));

    const Result<QList<InstalledPackage>> installed = await(zelk.installed());
    QVERIFY2(installed, failureText(installed));
    const auto entry = std::find_if(installed->cbegin(), installed->cend(),
                                    [](const InstalledPackage &p) { return p.name == QLatin1String("jq"); });
    QVERIFY(entry != installed->cend());
    QCOMPARE(entry->installed, versionsAfter);
    const Result<QList<OutdatedItem>> outdated = await(zelk.outdated());
    QVERIFY2(outdated, failureText(outdated));
    for (const OutdatedItem &item : *outdated)
        QVERIFY(item.name != QLatin1String("jq"));
}

void TestZelkSimEndToEnd::deliberateFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("untouched"); // a package that must not become installed

    const auto row = [](const char *name, QStringList arguments, const char *code, const char *untouched) {
        arguments.append(QStringLiteral("--json-progress"));
        QTest::addRow("%s", name) << arguments << QString::fromLatin1(code) << QString::fromLatin1(untouched);
    };
    row("unknown name", args({"install", "no-such-package", "--yes"}), "E_NOT_FOUND", "no-such-package");
    row("unreachable mirror", args({"install", "tidewatch", "--yes"}), "E_NETWORK", "tidewatch");
    row("certificate", args({"install", "certbox", "--yes"}), "E_TLS", "certbox");
    row("server error", args({"install", "busybee", "--yes"}), "E_HTTP", "busybee");
    row("checksum", args({"install", "crumble", "--yes"}), "E_DATA", "crumble");
    row("dependency missing from the index", args({"install", "orphan-tool", "--yes"}), "E_DATA", "orphan-tool");
    row("disk full", args({"install", "atlas-maps", "--yes"}), "E_DISK", "atlas-maps");
    row("not writable", args({"install", "sysguard", "--yes"}), "E_PERMISSION", "sysguard");
    row("newer OS", args({"install", "metalfx", "--yes"}), "E_USAGE", "metalfx");
    row("upgrade needing a newer OS", args({"upgrade", "imagemagick", "--yes"}), "E_USAGE", "");
    row("no --yes", args({"install", "zoxide"}), "E_DECLINED", "zoxide");
    row("unknown switch", args({"install", "zoxide", "--yes", "--frobnicate"}), "E_USAGE", "zoxide");
    row("bad time value", args({"install", "zoxide", "--yes", "--max-time", "soon"}), "E_USAGE", "zoxide");
    row("upgrade of a package not installed", args({"upgrade", "zoxide", "--yes"}), "E_USAGE", "zoxide");
}

void TestZelkSimEndToEnd::deliberateFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, code);
    QFETCH(QString, untouched);
    const ZelkCLI zelk = cli();

    const StreamOutcome outcome = await(drain(zelk.stream(arguments)));
    // An error event ends the stream normally, whatever the exit status.
    QVERIFY2(!outcome.error, qPrintable(describe(*outcome.error)));
    const QList<ZelkEvent::Error> errors = outcome.errors();
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().code, std::optional<QString>(code));
    QVERIFY(!errors.first().message.isEmpty());
    QVERIFY(errors.first().hint && !errors.first().hint->isEmpty());
    QVERIFY(outcome.all<ZelkEvent::Done>().isEmpty());
    if (!untouched.isEmpty())
        QVERIFY(!installedNames(zelk).contains(untouched));
}

void TestZelkSimEndToEnd::safetySwitchesLetTheInstallThrough_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addRow("--skip-ssl") << args({"install", "certbox", "--skip-ssl", "--yes", "--json-progress"});
    QTest::addRow("--force") << args({"install", "metalfx", "--force", "--yes", "--json-progress"});
    QTest::addRow("-F") << args({"install", "metalfx", "-F", "--yes", "--json-progress"});
}

void TestZelkSimEndToEnd::safetySwitchesLetTheInstallThrough()
{
    QFETCH(QStringList, arguments);
    const ZelkCLI zelk = cli();
    const StreamOutcome outcome = await(drain(zelk.stream(arguments)));
    QVERIFY2(!outcome.error, qPrintable(describe(*outcome.error)));
    QCOMPARE(outcome.errors().size(), 0);
    QVERIFY(installedNames(zelk).contains(arguments.at(1)));
}

void TestZelkSimEndToEnd::anOperationHoldingTheLockRefusesAnother()
{
    const ZelkCLI zelk = cli();
    QVERIFY(!installedNames(zelk).isEmpty()); // seeds the state directory
    // This test process stands for the zelk that is running an operation.
    QLockFile lock(stateDir() + QStringLiteral("/lock"));
    QVERIFY(lock.tryLock(0));

    const StreamOutcome locked = await(drain(zelk.stream(args({"install", "zoxide", "--yes", "--json-progress"}))));
    QVERIFY2(!locked.error, qPrintable(describe(*locked.error)));
    QCOMPARE(locked.errors().size(), 1);
    QCOMPARE(locked.errors().first().code, std::optional<QString>(QStringLiteral("E_LOCKED")));
    QVERIFY2(locked.errors().first().message.contains(QString::number(QCoreApplication::applicationPid())),
             qPrintable(locked.errors().first().message));

    lock.unlock();
    const StreamOutcome free = await(drain(zelk.stream(args({"install", "zoxide", "--yes", "--json-progress"}))));
    QVERIFY2(!free.error, qPrintable(describe(*free.error)));
    QCOMPARE(free.errors().size(), 0);
    QVERIFY(installedNames(zelk).contains(QStringLiteral("zoxide")));
}

void TestZelkSimEndToEnd::aCrashEndsTheStreamWithoutAnErrorEvent()
{
    const ZelkCLI zelk = cli();
    const StreamOutcome outcome = await(drain(zelk.stream(args({"install", "glitch", "--yes", "--json-progress"}))));
    QVERIFY(!outcome.all<ZelkEvent::Progress>().isEmpty());
    QCOMPARE(outcome.errors().size(), 0);
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->kind(), ZelkCLIError::Kind::CommandFailed);
    QCOMPARE(outcome.error->exitCode(), 3);
    QVERIFY2(outcome.error->message().startsWith(QLatin1String("zelk: internal error")), qPrintable(outcome.error->message()));
    QVERIFY(!installedNames(zelk).contains(QStringLiteral("glitch")));
}

void TestZelkSimEndToEnd::sigtermStopsAnOperationCleanly()
{
    const ZelkCLI zelk = cli();
    QVERIFY(!installedNames(zelk).isEmpty()); // seeds the state directory

    // A run whose every step waits a minute, stopped after its first line.
    QProcess slow;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZELK_SIM_DELAY_MS"), QStringLiteral("60000"));
    slow.setProcessEnvironment(environment);
    slow.start(QStringLiteral(ZELK_SIM_PATH), args({"install", "starship", "--yes", "--json-progress"}));
    QVERIFY(slow.waitForStarted());
    while (!slow.canReadLine())
        QVERIFY(slow.waitForReadyRead(30000));
    QVERIFY(slow.readLine().contains("\"plan\""));
    slow.terminate();
    QVERIFY(slow.waitForFinished(30000));
    QCOMPARE(slow.exitStatus(), QProcess::NormalExit);
    QCOMPARE(slow.exitCode(), 143);
    QVERIFY(!slow.readAllStandardError().isEmpty());
    QVERIFY(!slow.readAllStandardOutput().contains("\"error\""));

    // Nothing was installed, and the lock is free for the next operation.
    QVERIFY(!installedNames(zelk).contains(QStringLiteral("starship")));
    const StreamOutcome next = await(drain(zelk.stream(args({"install", "starship", "--yes", "--json-progress"}))));
    QVERIFY2(!next.error, qPrintable(describe(*next.error)));
    QCOMPARE(next.errors().size(), 0);
    QVERIFY(installedNames(zelk).contains(QStringLiteral("starship")));
}

REVEZE_TEST_MAIN(TestZelkSimEndToEnd)

#include "tst_zelksim_e2e.moc"
