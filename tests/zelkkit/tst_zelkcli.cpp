// The command runner, the queries and the locator, against small fake
// children (tests/fixtures) that each show one behaviour.

#include "TestSupport.h"

#include "ZelkCLI.h"
#include "ProcessRegistry.h"
#include "WorkerPool.h"
#include "ZelkLocator.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace ZelkKit;
using TestSupport::await;
using TestSupport::fixture;

namespace {

QString readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void makeExecutable(const QString &path, bool executable = true)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QVERIFY(file.setPermissions(permissions));
}

// Descriptors this test process was given by whoever started it, read before
// Qt opens anything: those pass to every child and are not ReveZE's.
QStringList ownDescriptors()
{
    QStringList result;
    const QStringList entries = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.toInt() > 2)
            result.append(entry);
    }
    return result;
}
const QStringList inheritedAtStart = ownDescriptors();

} // namespace

class TestZelkCLI : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runCapturesBothChannels_data();
    void runCapturesBothChannels();
    void runDecodesBothChannelsAlike_data();
    void runDecodesBothChannelsAlike();
    void textQueriesReadTheDecodedText();
    void queryChildrenYieldTheCpu_data();
    void queryChildrenYieldTheCpu();
    void bareExecutableNameIsInTheWorkingDirectory_data();
    void bareExecutableNameIsInTheWorkingDirectory();
    void runFloodsBothPipesWithoutDeadlock();
    void runFailsToLaunch_data();
    void runFailsToLaunch();
    void errorDescriptions();
    void runsOverlap();
    void noDescriptorLeaksIntoTheChild();
    void configurationJoinsBothSections();

    void jsonQueryFailures_data();
    void jsonQueryFailures();
    void queriesUseTheirExactVectors();
    void plainTextQueriesIgnoreTheExitStatus();
    void linkedVersionsFormat();

    void locate_data();
    void locate();
};

void TestZelkCLI::runCapturesBothChannels_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutText");
    QTest::addColumn<QString>("message");

    QTest::addRow("status 3 and a word on stderr")
        << QStringLiteral("exit_code") << QStringList{QStringLiteral("3"), QStringLiteral("broken")} << 3 << QString()
        << QStringLiteral("broken");
    QTest::addRow("stdout only, status 1: the trimmed stdout")
        << QStringLiteral("stdout_only") << QStringList{QStringLiteral("  out text \n"), QStringLiteral("1")} << 1
        << QStringLiteral("  out text \n") << QStringLiteral("out text");
    QTest::addRow("stderr of line breaks only: empty message")
        << QStringLiteral("stderr_newlines") << QStringList{} << 1 << QStringLiteral("some output\n") << QString();
    QTest::addRow("invalid UTF-8 becomes U+FFFD")
        << QStringLiteral("invalid_utf8") << QStringList{} << 0 << QStringLiteral("ok \uFFFD\uFFFD end")
        << QStringLiteral("bad \uFFFD( tail");
}

void TestZelkCLI::runCapturesBothChannels()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutText);
    QFETCH(QString, message);

    const ZelkCLI cli(fixture(program));
    const Result<ZelkCommandResult> result = await(cli.run(arguments));
    QVERIFY(result);
    QCOMPARE(result->exitCode, exitCode);
    QCOMPARE(result->succeeded(), exitCode == 0);
    QCOMPARE(result->stdoutText, stdoutText);
    QCOMPARE(result->message(), message);
}

void TestZelkCLI::runDecodesBothChannelsAlike_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::addRow("valid text is kept") << QByteArray("jq \xe5\xb7\xa5\xe5\x85\xb7 \xf0\x9f\x98\x80\n")
                                        << u"jq \u5de5\u5177 \U0001F600\n"_qs;
    QTest::addRow("truncated two-byte sequence") << QByteArray("a\xc3\n") << u"a\uFFFD\n"_qs;
    QTest::addRow("truncated three-byte sequence") << QByteArray("\xe2\x82" "A") << u"\uFFFDA"_qs;
    QTest::addRow("truncated four-byte sequence") << QByteArray("\xf0\x9f\x98x") << u"\uFFFDx"_qs;
    QTest::addRow("lone continuation byte") << QByteArray("\x80" "ok") << u"\uFFFDok"_qs;
    QTest::addRow("overlong encoding") << QByteArray("\xc0\xaf") << u"\uFFFD\uFFFD"_qs;
    QTest::addRow("surrogate encoded in UTF-8") << QByteArray("\xed\xa0\x80") << u"\uFFFD\uFFFD\uFFFD"_qs;
    QTest::addRow("leading U+FEFF") << QByteArray("\xef\xbb\xbfwarning") << u"\uFEFFwarning"_qs;
    QTest::addRow("leading U+FEFF, then invalid UTF-8") << QByteArray("\xef\xbb\xbf\xff") << u"\uFEFF\uFFFD"_qs;
}

void TestZelkCLI::runDecodesBothChannelsAlike()
{
    // The same bytes on standard output, and on standard error, give the
    // same text; the message (standard error, trimmed) keeps it too.
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    const QStringList arguments{QStringLiteral("basedir"), QStringLiteral("--raw")};
    TestSupport::FakeZelk zelk;
    zelk.setDocument(arguments, bytes);
    zelk.setStandardError(bytes);
    const Result<ZelkCommandResult> result = await(ZelkCLI(zelk.executable()).run(arguments));
    QVERIFY(result);
    QCOMPARE(result->stdoutText, text);
    QCOMPARE(result->stderrText, text);
    QCOMPARE(result->message(), text.trimmed());
}

void TestZelkCLI::textQueriesReadTheDecodedText()
{
    // The doctor's findings and the linked versions are read from the text
    // as run() decodes it: a leading U+FEFF is part of the first field, a
    // truncated sequence is one U+FFFD.
    TestSupport::FakeZelk zelk;
    const ZelkCLI cli(zelk.executable());
    zelk.setDocument({QStringLiteral("doctor"), QStringLiteral("--raw")},
                     "\xef\xbb\xbfwarn\tlinks\t2 dangling\xe2\x80\n");
    zelk.setDocument({QStringLiteral("linkquery"), QStringLiteral("--all"), QStringLiteral("--raw")},
                     "\xef\xbb\xbfjq@1.7\nfd@9\xf0\x9f\x98\n");

    const Result<QList<DoctorFinding>> findings = await(cli.doctor());
    QVERIFY(findings);
    QCOMPARE(findings->size(), 1);
    QCOMPARE(findings->at(0).severity, u"\uFEFFwarn"_qs);
    QCOMPARE(findings->at(0).detail, u"2 dangling\uFFFD"_qs);

    const Result<QHash<QString, QString>> linked = await(cli.linkedVersions());
    QVERIFY(linked);
    const QHash<QString, QString> expected{{u"\uFEFFjq"_qs, u"1.7"_qs}, {u"fd"_qs, u"9\uFFFD"_qs}};
    QCOMPARE(*linked, expected);
}

void TestZelkCLI::queryChildrenYieldTheCpu_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<int>("nicer");
    QTest::addRow("a query runs nicer than ReveZE") << int(ProcessRegistry::Role::Query) << backgroundNiceness;
    QTest::addRow("an install keeps ReveZE's priority") << int(ProcessRegistry::Role::Stream) << 0;
}

// The child's priority, read while it runs.
void TestZelkCLI::queryChildrenYieldTheCpu()
{
    QFETCH(int, role);
    QFETCH(int, nicer);
    errno = 0;
    const int own = getpriority(PRIO_PROCESS, 0);
    QCOMPARE(errno, 0);
    QProcess *process = ProcessRegistry::instance().create(QStringLiteral("/bin/sh"),
                                                           {QStringLiteral("-c"), QStringLiteral("exec sleep 600")},
                                                           ProcessRegistry::Role(role));
    process->start();
    QVERIFY(process->waitForStarted(60000));
    errno = 0;
    const int child = getpriority(PRIO_PROCESS, id_t(process->processId()));
    QCOMPARE(errno, 0);
    process->kill();
    QVERIFY(process->waitForFinished(60000));
    if (ProcessRegistry::Role(role) == ProcessRegistry::Role::Query)
        ProcessRegistry::instance().release(process);
    QCOMPARE(child, std::min(own + nicer, 19));

    // So does a worker pool thread. Waiting for a result may run the work on
    // this thread instead; it never makes the GUI thread nicer.
    QFuture<int> niceness = runInBackground([] { return getpriority(PRIO_PROCESS, id_t(gettid())); });
    const int worker = niceness.result();
    QVERIFY(worker == std::min(own + backgroundNiceness, 19) || worker == own);
    QCOMPARE(getpriority(PRIO_PROCESS, id_t(gettid())), own);
    QFuture<int> onPool = runInBackground([] { return getpriority(PRIO_PROCESS, id_t(gettid())); });
    QTRY_VERIFY(onPool.isFinished());
    QCOMPARE(onPool.result(), std::min(own + backgroundNiceness, 19));
}

void TestZelkCLI::bareExecutableNameIsInTheWorkingDirectory_data()
{
    QTest::addColumn<bool>("inWorkingDirectory");
    QTest::addRow("a zelk here and a different one first on PATH") << true;
    QTest::addRow("a zelk only on PATH") << false;
}

void TestZelkCLI::bareExecutableNameIsInTheWorkingDirectory()
{
    // ZelkCLI("zelk") names the file zelk in the working directory, like any
    // other relative path; PATH is the locator's business, never the
    // runner's or the stream's.
    QFETCH(bool, inWorkingDirectory);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("here")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("onpath")));
    const auto writeZelk = [](const QString &path, const QByteArray &word) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho '{\"event\":\"" + word + "\"}'\n");
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    };
    if (inWorkingDirectory)
        writeZelk(dir.filePath(QStringLiteral("here/zelk")), "from-working-directory");
    writeZelk(dir.filePath(QStringLiteral("onpath/zelk")), "from-path");

    const QString previousDirectory = QDir::currentPath();
    const QByteArray previousPath = qgetenv("PATH");
    const auto restore = qScopeGuard([&] {
        QDir::setCurrent(previousDirectory);
        qputenv("PATH", previousPath);
    });
    QVERIFY(QDir::setCurrent(dir.filePath(QStringLiteral("here"))));
    qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("onpath"))) + ":" + previousPath);

    const ZelkCLI cli(QStringLiteral("zelk"));
    QCOMPARE(cli.executable(), QStringLiteral("zelk"));
    const Result<ZelkCommandResult> result = await(cli.run({QStringLiteral("version")}));

    std::unique_ptr<ZelkEventStream> stream = cli.stream({QStringLiteral("install"), QStringLiteral("--json-progress")});
    QList<ZelkEvent> events;
    while (std::optional<ZelkEvent> event = await(stream->next()))
        events.append(std::move(*event));

    if (inWorkingDirectory) {
        QVERIFY(result);
        QCOMPARE(result->stdoutText, QStringLiteral("{\"event\":\"from-working-directory\"}\n"));
        QVERIFY(!stream->error());
        QCOMPARE(events.size(), 1);
        QVERIFY(events.at(0) == ZelkEvent(ZelkEvent::Unknown{QStringLiteral("from-working-directory")}));
    } else {
        QVERIFY(!result);
        QCOMPARE(result.error().kind(), ZelkCLIError::Kind::LaunchFailed);
        QVERIFY(stream->error());
        QCOMPARE(stream->error()->kind(), ZelkCLIError::Kind::LaunchFailed);
        QVERIFY(events.isEmpty());
    }
}

void TestZelkCLI::runFloodsBothPipesWithoutDeadlock()
{
    // 64 MiB on stderr before anything on stdout, then 64 MiB on stdout.
    const ZelkCLI cli(fixture(QStringLiteral("flood")));
    const Result<ZelkCommandResult> result = await(cli.run({QStringLiteral("64")}));
    QVERIFY(result);
    QCOMPARE(result->exitCode, 0);
    QCOMPARE(result->stderrText.size(), qsizetype(64) * 1024 * 1024 + 9);
    QCOMPARE(result->stdoutText.size(), qsizetype(64) * 1024 * 1024 + 9);
    QVERIFY(result->stdoutText.endsWith(QStringLiteral("\nout-end\n")));
    QVERIFY(result->stderrText.endsWith(QStringLiteral("\nerr-end\n")));
}

void TestZelkCLI::runFailsToLaunch_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addRow("a directory") << QStringLiteral(FIXTURE_BIN_DIR);
    QTest::addRow("a missing file") << QStringLiteral(FIXTURE_BIN_DIR "/no-such-zelk");
    QTest::addRow("a file without execute permission") << QStringLiteral(FIXTURE_DATA_DIR "/version_ok.json");
}

void TestZelkCLI::runFailsToLaunch()
{
    QFETCH(QString, executable);
    const ZelkCLI cli(executable);
    const Result<ZelkCommandResult> result = await(cli.run({QStringLiteral("version")}));
    QVERIFY(!result);
    QCOMPARE(result.error().kind(), ZelkCLIError::Kind::LaunchFailed);
    QVERIFY(result.error().errorDescription().startsWith(QStringLiteral("Could not start `zelk`: ")));
    QVERIFY(result.error().errorDescription().size() > QStringLiteral("Could not start `zelk`: ").size());

    // Every query reports the same failure.
    const Result<CLIInfo> version = await(cli.versionInfo());
    QVERIFY(!version);
    QCOMPARE(version.error().kind(), ZelkCLIError::Kind::LaunchFailed);
    const Result<QList<DoctorFinding>> doctor = await(cli.doctor());
    QVERIFY(!doctor);
    QCOMPARE(doctor.error().kind(), ZelkCLIError::Kind::LaunchFailed);
}

void TestZelkCLI::errorDescriptions()
{
    const struct {
        ZelkCLIError error;
        QString text;
    } rows[] = {
        {ZelkCLIError::commandFailed(2, QString()), QStringLiteral("`zelk` exited with status 2.")},
        {ZelkCLIError::commandFailed(-1, QString()), QStringLiteral("`zelk` exited with status -1.")},
        {ZelkCLIError::commandFailed(2, QStringLiteral("no such package")), QStringLiteral("no such package")},
        {ZelkCLIError::launchFailed(QStringLiteral("No such file")), QStringLiteral("Could not start `zelk`: No such file")},
        {ZelkCLIError::decodeFailed(QStringLiteral("protocol: missing key")),
         QStringLiteral("Could not read `zelk` output: protocol: missing key")},
        {ZelkCLIError::notFound(),
         QStringLiteral("Could not find the `zelk` executable. Set REVEZE_ZELK or install Quindle at /opt/rurirud.")},
    };
    for (const auto &row : rows)
        QCOMPARE(row.error.errorDescription(), row.text);
}

void TestZelkCLI::runsOverlap()
{
    // Each child finishes only once its sibling has created its file: both
    // must be in flight at the same time.
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    const ZelkCLI cli(fixture(QStringLiteral("wait_for_sibling")));
    auto first = cli.run({a, b, QStringLiteral("first")});
    auto second = cli.run({b, a, QStringLiteral("second")});
    const Result<ZelkCommandResult> one = await(std::move(first));
    const Result<ZelkCommandResult> two = await(std::move(second));
    QVERIFY(one && two);
    QCOMPARE(one->exitCode, 0);
    QCOMPARE(one->stdoutText, QStringLiteral("first"));
    QCOMPARE(two->stdoutText, QStringLiteral("second"));
}

void TestZelkCLI::noDescriptorLeaksIntoTheChild()
{
    QTemporaryDir dir;
    QFile open(dir.filePath(QStringLiteral("held-open")));
    QVERIFY(open.open(QIODevice::WriteOnly));
    const ZelkCLI cli(fixture(QStringLiteral("list_fds")));
    const Result<ZelkCommandResult> result = await(cli.run({}));
    QVERIFY(result);
    QCOMPARE(result->exitCode, 0);
    QStringList inherited = result->stdoutText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    inherited.removeIf([](const QString &line) { return inheritedAtStart.contains(line.section(QLatin1Char(' '), 0, 0)); });
    QVERIFY2(inherited.isEmpty(), qPrintable(QStringLiteral("leaked: ") + inherited.join(QLatin1Char(','))));
}

void TestZelkCLI::configurationJoinsBothSections()
{
    TestSupport::FakeZelk zelk;
    zelk.setDocument({QStringLiteral("basedir"), QStringLiteral("--raw")}, "/opt/rurirud\n");
    // No document for "mirror": it prints nothing on stdout and fails, which
    // configuration() ignores.
    const ZelkCLI cli(zelk.executable());
    const Result<QString> text = await(cli.configuration());
    QVERIFY(text);
    QCOMPARE(*text, QStringLiteral("base_dir\n/opt/rurirud\n\nmirror\n"));
    QCOMPARE(zelk.count({QStringLiteral("mirror")}), 1);
}

void TestZelkCLI::jsonQueryFailures_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");

    QTest::addRow("non-zero exit ignores a valid document")
        << QByteArray(R"({"version":"1","protocol":1,"capabilities":[]})") << 1
        << int(ZelkCLIError::Kind::CommandFailed) << QStringLiteral("version check failed");
    QTest::addRow("non-zero exit, no message at all")
        << QByteArray() << 1 << int(ZelkCLIError::Kind::CommandFailed) << QStringLiteral("`zelk` exited with status 1.");
    QTest::addRow("empty output") << QByteArray() << 0 << int(ZelkCLIError::Kind::DecodeFailed)
                                  << QStringLiteral("Could not read `zelk` output: the output is empty");
    QTest::addRow("protocol as a string")
        << QByteArray(R"({"version":"1","protocol":"1","capabilities":[]})") << 0
        << int(ZelkCLIError::Kind::DecodeFailed)
        << QStringLiteral("Could not read `zelk` output: protocol: expected an integer, found a string");
}

void TestZelkCLI::jsonQueryFailures()
{
    QFETCH(QByteArray, document);
    QFETCH(int, exitStatus);
    QFETCH(int, kind);
    QFETCH(QString, text);

    TestSupport::FakeZelk zelk;
    zelk.setDocument({QStringLiteral("version"), QStringLiteral("--json")}, document);
    zelk.setExitStatus(exitStatus);
    if (exitStatus != 0 && !document.isEmpty())
        zelk.setStandardError("version check failed\n");
    const Result<CLIInfo> result = await(ZelkCLI(zelk.executable()).versionInfo());
    QVERIFY(!result);
    QCOMPARE(int(result.error().kind()), kind);
    QCOMPARE(result.error().errorDescription(), text);
}

void TestZelkCLI::queriesUseTheirExactVectors()
{
    TestSupport::FakeZelk zelk;
    const ZelkCLI cli(zelk.executable());
    zelk.setDocument({QStringLiteral("outdated"), QStringLiteral("--json")}, "[]");
    const Result<QList<OutdatedItem>> outdated = await(cli.outdated());
    QVERIFY(outdated);
    QVERIFY(outdated->isEmpty());

    zelk.setDocument({QStringLiteral("outdated"), QStringLiteral("--json")}, R"({"packages":[]})");
    const Result<QList<OutdatedItem>> object = await(cli.outdated());
    QVERIFY(!object);
    QCOMPARE(object.error().kind(), ZelkCLIError::Kind::DecodeFailed);

    // The third package lacks "sha256": the whole document fails, and the
    // text names where.
    QFile status(TestSupport::fixtureData(QStringLiteral("status_missing_sha.json")));
    QVERIFY(status.open(QIODevice::ReadOnly));
    zelk.setDocument({QStringLiteral("status"), QStringLiteral("--json")}, status.readAll());
    const Result<InstallStatus> installStatus = await(cli.status());
    QVERIFY(!installStatus);
    QCOMPARE(installStatus.error().errorDescription(),
             QStringLiteral("Could not read `zelk` output: packages[2].sha256: missing key"));

    // A name with blanks is one argument.
    zelk.setDocument({QStringLiteral("info"), QStringLiteral("two words"), QStringLiteral("--json")},
                     R"({"name":"two words","installed":[],"available":[]})");
    const Result<PackageInfo> info = await(cli.info(QStringLiteral("two words")));
    QVERIFY(info);
    QCOMPARE(info->name, QStringLiteral("two words"));
    QVERIFY(zelk.invocations().contains(QStringLiteral("3: info two words --json")));

    zelk.setDocument({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--json")},
                     R"({"query":"","all":true,"packages":["zz","aa","mm"]})");
    const Result<QStringList> names = await(cli.catalog());
    QVERIFY(names);
    QCOMPARE(*names, (QStringList{QStringLiteral("zz"), QStringLiteral("aa"), QStringLiteral("mm")}));

    const QStringList expected{
        QStringLiteral("2: outdated --json"), QStringLiteral("2: outdated --json"), QStringLiteral("2: status --json"),
        QStringLiteral("3: info two words --json"), QStringLiteral("3: search --all --json")};
    QCOMPARE(zelk.invocations(), expected);

    // The remaining fixed vectors.
    (void)await(cli.installed());
    (void)await(cli.versionInfo());
    (void)await(cli.catalogDocument());
    (void)await(cli.mirrorConfig());
    (void)await(cli.indexStatus());
    (void)await(cli.doctor());
    (void)await(cli.linkedVersions());
    (void)await(cli.refreshIndex());
    const QStringList rest = zelk.invocations().mid(expected.size());
    QCOMPARE(rest, (QStringList{QStringLiteral("2: list --json"), QStringLiteral("2: version --json"),
                                QStringLiteral("2: catalog --json"), QStringLiteral("3: mirror get --json"),
                                QStringLiteral("3: index status --json"), QStringLiteral("2: doctor --raw"),
                                QStringLiteral("3: linkquery --all --raw"), QStringLiteral("2: index refresh")}));
}

void TestZelkCLI::plainTextQueriesIgnoreTheExitStatus()
{
    TestSupport::FakeZelk zelk;
    const ZelkCLI cli(zelk.executable());
    zelk.setExitStatus(1);
    zelk.setDocument({QStringLiteral("doctor"), QStringLiteral("--raw")}, readFile(TestSupport::fixtureData(QStringLiteral("doctor.txt"))).toUtf8());
    zelk.setDocument({QStringLiteral("index"), QStringLiteral("refresh")}, "refreshed\n");
    zelk.setDocument({QStringLiteral("linkquery"), QStringLiteral("--all"), QStringLiteral("--raw")}, "jq@1.7\n");

    const Result<QList<DoctorFinding>> findings = await(cli.doctor());
    QVERIFY(findings);
    QCOMPARE(findings->size(), 2);
    QCOMPARE(findings->at(0).severity, QStringLiteral("error"));
    QCOMPARE(findings->at(1).detail, QStringLiteral("2 dangling"));

    const Result<ZelkCommandResult> refresh = await(cli.refreshIndex());
    QVERIFY(refresh);
    QCOMPARE(refresh->exitCode, 1);

    const Result<QHash<QString, QString>> linked = await(cli.linkedVersions());
    QVERIFY(linked);
    QCOMPARE(linked->value(QStringLiteral("jq")), QStringLiteral("1.7"));
}

void TestZelkCLI::linkedVersionsFormat()
{
    const QHash<QString, QString> map
        = ZelkCLI::parseLinkedVersions(readFile(TestSupport::fixtureData(QStringLiteral("linkquery.txt"))));
    QCOMPARE(map.size(), 3);
    QCOMPARE(map.value(QStringLiteral("alpha")), QStringLiteral("1.1"));
    QCOMPARE(map.value(QStringLiteral("charlie")), QStringLiteral("2.0@build7"));
    // A leading "@" is skipped over: the rest splits as usual.
    QCOMPARE(map.value(QStringLiteral("delta")), QStringLiteral("1"));
    QVERIFY(!map.contains(QStringLiteral("bravo")));
    QVERIFY(ZelkCLI::parseLinkedVersions(QString()).isEmpty());
    QVERIFY(ZelkCLI::parseLinkedVersions(QStringLiteral("a@\n@\n@@\n")).isEmpty());
    QCOMPARE(ZelkCLI::parseLinkedVersions(QStringLiteral("a@@1")).value(QStringLiteral("a")), QStringLiteral("@1"));
    QCOMPARE(ZelkCLI::parseLinkedVersions(QStringLiteral(" a @ 1 ")).value(QStringLiteral(" a ")), QStringLiteral(" 1 "));
}

void TestZelkCLI::locate_data()
{
    QTest::addColumn<QString>("variable");   // "<unset>" for none; relative to the temp dir
    QTest::addColumn<QString>("searchPath"); // "<unset>" for none; "@" stands for the temp dir
    QTest::addColumn<QStringList>("executables");
    QTest::addColumn<QStringList>("plainFiles");
    QTest::addColumn<QString>("expected");   // relative to the temp dir; "<notFound>"

    const QString unset = QStringLiteral("<unset>");
    const QString notFound = QStringLiteral("<notFound>");
    QTest::addRow("REVEZE_ZELK wins over the fixed candidates")
        << QStringLiteral("@/mine/zelk") << unset
        << QStringList{QStringLiteral("mine/zelk"), QStringLiteral("opt/lib/zelk")} << QStringList{}
        << QStringLiteral("mine/zelk");
    QTest::addRow("unusable REVEZE_ZELK ends the search")
        << QStringLiteral("@/missing/zelk") << unset << QStringList{QStringLiteral("opt/bin/zelk")} << QStringList{}
        << notFound;
    QTest::addRow("non-executable REVEZE_ZELK")
        << QStringLiteral("@/mine/zelk") << unset << QStringList{QStringLiteral("opt/bin/zelk")}
        << QStringList{QStringLiteral("mine/zelk")} << notFound;
    QTest::addRow("empty REVEZE_ZELK is unset")
        << QString() << unset << QStringList{QStringLiteral("opt/bin/zelk")} << QStringList{}
        << QStringLiteral("opt/bin/zelk");
    QTest::addRow("relative REVEZE_ZELK is taken against the working directory")
        << QStringLiteral("mine/zelk") << unset << QStringList{QStringLiteral("mine/zelk")} << QStringList{}
        << QStringLiteral("mine/zelk");
    QTest::addRow("lib before bin")
        << unset << unset << QStringList{QStringLiteral("opt/bin/zelk"), QStringLiteral("opt/lib/zelk")}
        << QStringList{} << QStringLiteral("opt/lib/zelk");
    QTest::addRow("empty components are skipped")
        << unset << QStringLiteral(":@/a::@/b:") << QStringList{QStringLiteral("a/zelk"), QStringLiteral("b/zelk")}
        << QStringList{} << QStringLiteral("a/zelk");
    QTest::addRow("a non-executable zelk on the path is skipped")
        << unset << QStringLiteral("@/a:@/b") << QStringList{QStringLiteral("b/zelk")}
        << QStringList{QStringLiteral("a/zelk")} << QStringLiteral("b/zelk");
    QTest::addRow("an empty PATH finds nothing")
        << unset << QString() << QStringList{} << QStringList{} << notFound;
    QTest::addRow("a trailing slash gives a double slash")
        << unset << QStringLiteral("@/a/") << QStringList{QStringLiteral("a/zelk")} << QStringList{}
        << QStringLiteral("a//zelk");
}

void TestZelkCLI::locate()
{
    QFETCH(QString, variable);
    QFETCH(QString, searchPath);
    QFETCH(QStringList, executables);
    QFETCH(QStringList, plainFiles);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    const QString root = dir.path();
    for (const QString &sub : {QStringLiteral("mine"), QStringLiteral("opt/lib"), QStringLiteral("opt/bin"),
                               QStringLiteral("a"), QStringLiteral("b")})
        QVERIFY(QDir(root).mkpath(sub));
    for (const QString &file : std::as_const(executables))
        makeExecutable(root + QLatin1Char('/') + file);
    for (const QString &file : std::as_const(plainFiles))
        makeExecutable(root + QLatin1Char('/') + file, false);

    ZelkLocator::Environment environment;
    if (variable != QStringLiteral("<unset>"))
        environment.zelkVariable = QString(variable).replace(QLatin1Char('@'), root);
    if (searchPath != QStringLiteral("<unset>"))
        environment.searchPath = QString(searchPath).replace(QLatin1Char('@'), root);
    environment.workingDirectory = root;
    environment.fixedCandidates = {root + QStringLiteral("/opt/lib/zelk"), root + QStringLiteral("/opt/bin/zelk")};
    // Relative paths are checked against the temp dir, as the process would
    // against its working directory.
    environment.isExecutable = [root](const QString &path) {
        return ZelkLocator::isExecutableFile(QDir::isRelativePath(path) ? root + QLatin1Char('/') + path : path);
    };

    const Result<ZelkCLI> result = ZelkLocator::locate(environment);
    if (expected == QStringLiteral("<notFound>")) {
        QVERIFY(!result);
        QCOMPARE(result.error().kind(), ZelkCLIError::Kind::NotFound);
    } else {
        QVERIFY(result);
        QCOMPARE(result->executable(), root + QLatin1Char('/') + expected);
    }
}

REVEZE_TEST_MAIN(TestZelkCLI)
#include "tst_zelkcli.moc"
