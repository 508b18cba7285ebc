// The progress event stream of a streamed zelk run (install, upgrade,
// reinstall with "--json-progress"): line splitting across any chunking,
// delivery through real children, how the run's exit ends the stream, and
// what cancelling or dropping the stream does to the child.

#include "TestSupport.h"

#include "LineSplitter.h"
#include "ProcessRegistry.h"
#include "ZelkCLI.h"
#include "ZelkEventStream.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <memory>
#include <random>
#include <variant>

using namespace ZelkKit;
using E = ZelkEvent;
using TestSupport::fixture;
using TestSupport::fixtureData;

namespace {

// Every wait for a child has this guard, so that a stalled stream fails the
// test instead of hanging it.
constexpr int childTimeout = 60000;

template<typename T>
std::shared_ptr<TestSupport::Outcome<T>> start(QCoro::Task<T> task)
{
    return TestSupport::startDetached(std::move(task));
}

#define WAIT_FOR(outcome) QTRY_VERIFY_WITH_TIMEOUT((outcome)->value.has_value(), childTimeout)

// Reads a stream to its end. The stream is shared so that it outlives the
// reading task even when a failed test returns early.
QCoro::Task<QList<ZelkEvent>> readAll(std::shared_ptr<ZelkEventStream> stream)
{
    QList<ZelkEvent> events;
    while (std::optional<ZelkEvent> event = co_await stream->next())
        events.append(std::move(*event));
    co_return events;
}

QCoro::Task<std::optional<ZelkEvent>> nextOf(std::shared_ptr<ZelkEventStream> stream)
{
    co_return co_await stream->next();
}

std::shared_ptr<ZelkEventStream> streamOf(const QString &program, const QStringList &arguments)
{
    return ZelkCLI(program).stream(arguments);
}

QString optionalText(const std::optional<QString> &value)
{
    return value ? u'"' + *value + u'"' : QStringLiteral("none");
}

QString optionalNumber(const std::optional<qint64> &value)
{
    return value ? QString::number(*value) : QStringLiteral("none");
}

QString listText(const QStringList &list)
{
    return u'[' + list.join(u',') + u']';
}

// A readable form of every field, so that a failed comparison shows where
// two event lists part.
QString describe(const ZelkEvent &event)
{
    const QString payload = std::visit(
        [](const auto &p) -> QString {
            using P = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<P, E::Plan>)
                return listText(p.steps);
            else if constexpr (std::is_same_v<P, E::Step>)
                return p.name + u' ' + p.status;
            else if constexpr (std::is_same_v<P, E::Progress>)
                return p.step + u' ' + optionalNumber(p.done) + u' ' + optionalNumber(p.total) + u' '
                    + optionalNumber(p.percent);
            else if constexpr (std::is_same_v<P, E::Package>)
                return p.name + u' ' + p.status;
            else if constexpr (std::is_same_v<P, E::Status>)
                return p.package + u' ' + p.version + u' ' + p.state + u' ' + optionalText(p.fromVersion);
            else if constexpr (std::is_same_v<P, E::Summary>)
                return listText(p.upgraded) + listText(p.unchanged) + listText(p.failed);
            else if constexpr (std::is_same_v<P, E::Done>)
                return p.package + u' ' + p.version + u' ' + optionalText(p.bin) + u' '
                    + (p.linked ? (*p.linked ? QStringLiteral("linked") : QStringLiteral("unlinked"))
                                : QStringLiteral("none"));
            else if constexpr (std::is_same_v<P, E::Error>)
                return p.message + u' ' + (p.hint ? listText(*p.hint) : QStringLiteral("none")) + u' '
                    + optionalText(p.code);
            else
                return p.type;
        },
        event.payload());
    return event.kind() + u'(' + payload + u')';
}

QStringList describe(const QList<ZelkEvent> &events)
{
    QStringList result;
    for (const ZelkEvent &event : events)
        result.append(describe(event));
    return result;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// What events_basic.txt holds, once its blank, plain-text, array and
// wrong-typed lines are skipped.
QList<ZelkEvent> basicEvents()
{
    return {
        E::Plan{{QStringLiteral("download"), QStringLiteral("install")}},
        E::Step{QStringLiteral("download"), QStringLiteral("start")},
        E::Progress{QStringLiteral("download"), 512, 2048, 25},
        E::Done{QStringLiteral("jq"), QStringLiteral("1.7.1"), QStringLiteral("jq"), true},
    };
}

QList<ZelkEvent> noFinalNewlineEvents()
{
    return {E::Plan{}, E::Done{QStringLiteral("jq"), QStringLiteral("1"), std::nullopt, std::nullopt}};
}

// The lines a byte stream holds: every line feed ends one; what follows the
// last line feed is a last line when it is not empty.
QList<QByteArray> expectedLines(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QList<QByteArray> splitInChunks(const QByteArray &content, const QList<qsizetype> &cuts)
{
    QList<QByteArray> lines;
    LineSplitter splitter;
    const auto onLine = [&lines](QByteArrayView line) { lines.append(line.toByteArray()); };
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        splitter.feed(QByteArrayView(content).sliced(from, cut - from), onLine);
        from = cut;
    }
    splitter.feed(QByteArrayView(content).sliced(from), onLine);
    splitter.finish(onLine);
    return lines;
}

// A generated run of `count` lines: a realistic mix of the nine kinds, about
// one in ten a progress line, with a few lines in between that are not events.
// Each event carries its index so that order is checked as well.
struct GeneratedRun {
    QByteArray bytes;
    QList<ZelkEvent> events;
};

GeneratedRun generateRun(int count, std::uint32_t seed)
{
    GeneratedRun run;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, 99);
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QString s = QString::number(i);
        const int roll = pick(random);
        if (roll < 10) {
            run.bytes += R"({"event":"progress","step":"download","done":)" + n + R"(,"total":100000,"percent":)"
                + QByteArray::number(i % 101) + "}\n";
            run.events.append(E::Progress{QStringLiteral("download"), i, 100000, i % 101});
        } else if (roll < 30) {
            run.bytes += R"({"event":"step","name":"step-)" + n + R"(","status":"finish"})" "\n";
            run.events.append(E::Step{u"step-"_qs + s, QStringLiteral("finish")});
        } else if (roll < 50) {
            run.bytes += R"({"event":"package","name":"pkg-)" + n + R"(","status":"installed"})" "\n";
            run.events.append(E::Package{u"pkg-"_qs + s, QStringLiteral("installed")});
        } else if (roll < 65) {
            run.bytes += R"({"event":"status","package":"pkg-)" + n
                + R"(","version":"2.0","state":"upgraded","from_version":"1.0"})" "\n";
            run.events.append(E::Status{u"pkg-"_qs + s, QStringLiteral("2.0"), QStringLiteral("upgraded"),
                                        QStringLiteral("1.0")});
        } else if (roll < 75) {
            run.bytes += R"({"event":"done","package":"pkg-)" + n + R"(","version":"1.0","bin":"tool","linked":true})"
                "\n";
            run.events.append(E::Done{u"pkg-"_qs + s, QStringLiteral("1.0"), QStringLiteral("tool"), true});
        } else if (roll < 82) {
            run.bytes += R"({"event":"plan","steps":["resolve","fetch-)" + n + R"(","link"]})" "\n";
            run.events.append(
                E::Plan{{QStringLiteral("resolve"), u"fetch-"_qs + s, QStringLiteral("link")}});
        } else if (roll < 88) {
            run.bytes += R"({"event":"summary","upgraded":["a-)" + n + R"("],"unchanged":[],"failed":["b"]})" "\n";
            run.events.append(E::Summary{{u"a-"_qs + s}, {}, {QStringLiteral("b")}});
        } else if (roll < 92) {
            run.bytes += R"({"event":"error","message":"failure )" + n + R"(","hint":["retry"],"code":"E_NET"})" "\n";
            run.events.append(E::Error{u"failure "_qs + s, QStringList{QStringLiteral("retry")}, QStringLiteral("E_NET")});
        } else if (roll < 97) {
            run.bytes += R"({"event":"checkpoint","at":)" + n + "}\n";
            run.events.append(E::Unknown{QStringLiteral("checkpoint")});
        } else {
            // Not events: skipped without a trace.
            static const QByteArray junk[] = {"   \t", "Downloading ...", "[1,2]", R"({"event":"progress","done":"7"})",
                                              ""};
            run.bytes += junk[i % 5] + '\n';
        }
    }
    return run;
}

bool processIsGone(qint64 pid)
{
    // A zombie still answers kill(pid, 0); only a reaped child gives ESRCH.
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

qint64 pidFrom(const QString &path)
{
    return readBytes(path).toLongLong();
}

} // namespace

class TestEventStream : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void splitterGivesTheSameLinesForAnyChunking_data();
    void splitterGivesTheSameLinesForAnyChunking();
    void splitterAndDecoderSurviveRandomChunks();

    void deliversEventsOfARealChild_data();
    void deliversEventsOfARealChild();
    void aHundredThousandLinesThroughAChild();

    void howTheExitEndsTheStream_data();
    void howTheExitEndsTheStream();
    void exitBySignal_data();
    void exitBySignal();
    void launchFailureEndsAtOnce_data();
    void launchFailureEndsAtOnce();

    void droppingTheStreamEndsTheChild_data();
    void droppingTheStreamEndsTheChild();
    void cancelWakesAWaitingReader();
    void droppedBeforeTheChildHasStarted_data();
    void droppedBeforeTheChildHasStarted();
    void endHandlerRunsOnce_data();
    void endHandlerRunsOnce();

    void floodedStandardErrorDoesNotStallEvents();
    void closedStandardOutputWaitsForTheExit();
    void operationVector();
};

void TestEventStream::cleanup()
{
    // Every child of a test has exited and been released before the next one.
    QTRY_COMPARE_WITH_TIMEOUT(ProcessRegistry::instance().liveCount(), 0, childTimeout);
}

void TestEventStream::splitterGivesTheSameLinesForAnyChunking_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addRow("events_basic.txt") << readBytes(fixtureData(QStringLiteral("events_basic.txt")));
    QTest::addRow("events_no_final_newline.txt") << readBytes(fixtureData(QStringLiteral("events_no_final_newline.txt")));
    QTest::addRow("events_error.txt") << readBytes(fixtureData(QStringLiteral("events_error.txt")));
    QTest::addRow("CR LF keeps the carriage return") << QByteArray("{\"event\":\"plan\"}\r\n\r\nx\r\n");
    QTest::addRow("empty lines") << QByteArray("\n\n\nlast");
    QTest::addRow("one line feed") << QByteArray("\n");
    QTest::addRow("nothing") << QByteArray();
    QTest::addRow("a line with a NUL byte") << QByteArray("a\0b\nc", 5);
}

void TestEventStream::splitterGivesTheSameLinesForAnyChunking()
{
    QFETCH(QByteArray, content);
    const QList<QByteArray> expected = expectedLines(content);

    QCOMPARE(splitInChunks(content, {}), expected);

    QList<qsizetype> everyByte;
    for (qsizetype i = 1; i < content.size(); ++i)
        everyByte.append(i);
    QCOMPARE(splitInChunks(content, everyByte), expected);

    for (qsizetype cut = 0; cut <= content.size(); ++cut)
        QCOMPARE(splitInChunks(content, {cut}), expected);
}

void TestEventStream::splitterAndDecoderSurviveRandomChunks()
{
    const GeneratedRun run = generateRun(100000, 20240601);
    std::mt19937 random(7);
    // Mostly small chunks, now and then a large one, as a pipe delivers them.
    std::uniform_int_distribution<int> small(1, 200);
    std::uniform_int_distribution<int> large(1, 70000);
    std::uniform_int_distribution<int> which(0, 9);

    QList<ZelkEvent> events;
    LineSplitter splitter;
    const auto onLine = [&events](QByteArrayView line) {
        if (std::optional<ZelkEvent> event = ZelkEvent::fromLine(line))
            events.append(std::move(*event));
    };
    qsizetype from = 0;
    while (from < run.bytes.size()) {
        const qsizetype size = std::min<qsizetype>(which(random) == 0 ? large(random) : small(random),
                                                   run.bytes.size() - from);
        splitter.feed(QByteArrayView(run.bytes).sliced(from, size), onLine);
        from += size;
    }
    splitter.finish(onLine);
    QCOMPARE(events.size(), run.events.size());
    QVERIFY(events == run.events);
}

void TestEventStream::deliversEventsOfARealChild_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<ZelkEvent>>("expected");

    // trickle writes one byte per write: every event is split across chunks.
    QTest::addRow("byte by byte") << u"trickle"_qs << u"events_basic.txt"_qs << basicEvents();
    // print_file writes the whole file at once: several events in one chunk.
    QTest::addRow("all at once") << u"print_file"_qs << u"events_basic.txt"_qs << basicEvents();
    QTest::addRow("no final line feed, byte by byte")
        << u"trickle"_qs << u"events_no_final_newline.txt"_qs << noFinalNewlineEvents();
    QTest::addRow("no final line feed, at once")
        << u"print_file"_qs << u"events_no_final_newline.txt"_qs << noFinalNewlineEvents();
}

void TestEventStream::deliversEventsOfARealChild()
{
    QFETCH(QString, program);
    QFETCH(QString, file);
    QFETCH(QList<ZelkEvent>, expected);

    auto stream = streamOf(fixture(program), {fixtureData(file), QStringLiteral("0")});
    auto events = start(readAll(stream));
    WAIT_FOR(events);
    QCOMPARE(describe(*events->value), describe(expected));
    QVERIFY(*events->value == expected);
    QVERIFY(stream->hasEnded());
    QVERIFY(!stream->error());
    QVERIFY(!stream->wasCancelled());
}

void TestEventStream::aHundredThousandLinesThroughAChild()
{
    const GeneratedRun run = generateRun(100000, 99);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("events.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(run.bytes);
    file.close();

    auto stream = streamOf(fixture(QStringLiteral("print_file")), {path});
    auto events = start(readAll(stream));
    WAIT_FOR(events);
    QCOMPARE(events->value->size(), run.events.size());
    QVERIFY(*events->value == run.events);
    QVERIFY(!stream->error());
}

void TestEventStream::howTheExitEndsTheStream_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QByteArray>("standardError");
    QTest::addColumn<QList<ZelkEvent>>("expected");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QString>("message");

    const QStringList install{u"install"_qs, u"jq"_qs, u"--json-progress"_qs};
    const QByteArray errorLine = readBytes(fixtureData(QStringLiteral("events_error.txt")));
    const ZelkEvent errorEvent = E::Error{u"disk full"_qs, QStringList{u"free space"_qs, u"retry"_qs}, u"E_DISK"_qs};
    const QByteArray stepLine = R"({"event":"step","name":"fetch"})" "\n";
    const ZelkEvent stepEvent = E::Step{u"fetch"_qs, u"start"_qs};

    QTest::addRow("exit 0") << install << stepLine << 0 << QByteArray() << QList<ZelkEvent>{stepEvent} << false
                            << QString();
    QTest::addRow("exit 0 with text on stderr")
        << install << stepLine << 0 << QByteArray("warning: slow mirror\n") << QList<ZelkEvent>{stepEvent} << false
        << QString();
    QTest::addRow("exit 1 after an error event") << install << errorLine << 1 << QByteArray("disk full\n")
                                                 << QList<ZelkEvent>{errorEvent} << false << QString();
    QTest::addRow("exit 0 after an error event")
        << install << errorLine << 0 << QByteArray() << QList<ZelkEvent>{errorEvent} << false << QString();
    QTest::addRow("an error event before later lines still ends normally")
        << install << errorLine + stepLine << 7 << QByteArray() << QList<ZelkEvent>{errorEvent, stepEvent} << false
        << QString();
    QTest::addRow("exit 2, empty stderr: the composed sentence")
        << install << stepLine << 2 << QByteArray() << QList<ZelkEvent>{stepEvent} << true
        << u"`zelk install jq --json-progress` exited with status 2."_qs;
    QTest::addRow("exit 2, nothing at all on stdout")
        << install << QByteArray() << 2 << QByteArray() << QList<ZelkEvent>{} << true
        << u"`zelk install jq --json-progress` exited with status 2."_qs;
    QTest::addRow("stderr of blanks and line breaks counts as empty")
        << install << stepLine << 2 << QByteArray(" \n\t\n") << QList<ZelkEvent>{stepEvent} << true
        << u"`zelk install jq --json-progress` exited with status 2."_qs;
    QTest::addRow("every argument, joined by single blanks")
        << QStringList{u"upgrade"_qs, u"jq"_qs, u"fd"_qs, u"--yes"_qs, u"--json-progress"_qs} << QByteArray() << 3
        << QByteArray() << QList<ZelkEvent>{} << true
        << u"`zelk upgrade jq fd --yes --json-progress` exited with status 3."_qs;
    QTest::addRow("arguments that look like placeholders stay as typed")
        << QStringList{u"install"_qs, u"%1"_qs, u"--note=%2%3"_qs, u"--json-progress"_qs} << QByteArray() << 2
        << QByteArray() << QList<ZelkEvent>{} << true
        << u"`zelk install %1 --note=%2%3 --json-progress` exited with status 2."_qs;
    QTest::addRow("stderr text, trimmed, is the message")
        << install << stepLine << 3 << QByteArray("\n  error: no space left on device \n\n")
        << QList<ZelkEvent>{stepEvent} << true << u"error: no space left on device"_qs;
    QTest::addRow("stderr keeps a leading U+FEFF, a truncated sequence is one U+FFFD")
        << install << stepLine << 3 << QByteArray("\xef\xbb\xbf" "disk full \xe2\x82\n") << QList<ZelkEvent>{stepEvent}
        << true << u"\uFEFFdisk full \uFFFD"_qs;
    QTest::addRow("lines with a byte-order mark or huge ignored numbers are events")
        << install
        << QByteArray("\xef\xbb\xbf" + stepLine
                      + R"({"event":"progress","bytes":123456789012345678901234567890,"rate":1e400,"percent":5})" "\n")
        << 0 << QByteArray() << QList<ZelkEvent>{stepEvent, E::Progress{QString(), {}, {}, 5}} << false << QString();
}

void TestEventStream::howTheExitEndsTheStream()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, output);
    QFETCH(int, exitStatus);
    QFETCH(QByteArray, standardError);
    QFETCH(QList<ZelkEvent>, expected);
    QFETCH(bool, fails);
    QFETCH(QString, message);

    TestSupport::FakeZelk zelk;
    zelk.setDocument(arguments, output);
    zelk.setExitStatus(exitStatus);
    zelk.setStandardError(standardError);

    auto stream = streamOf(zelk.executable(), arguments);
    auto events = start(readAll(stream));
    WAIT_FOR(events);
    QCOMPARE(zelk.count(arguments), 1);
    QCOMPARE(describe(*events->value), describe(expected));
    QVERIFY(*events->value == expected);
    QVERIFY(stream->hasEnded());
    QCOMPARE(stream->error().has_value(), fails);
    if (fails) {
        QCOMPARE(stream->error()->kind(), ZelkCLIError::Kind::CommandFailed);
        QCOMPARE(stream->error()->exitCode(), exitStatus & 0xff);
        QCOMPARE(stream->error()->message(), message);
        QCOMPARE(stream->error()->errorDescription(), message);
    }
}

void TestEventStream::exitBySignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::addRow("SIGKILL") << int(SIGKILL);
    QTest::addRow("SIGTERM from someone else") << int(SIGTERM);
    QTest::addRow("SIGSEGV") << int(SIGSEGV);
}

void TestEventStream::exitBySignal()
{
    // zelk killed from outside ReveZE: the stream was not cancelled, so the
    // consumer learns of the failure, with the signal number as the status
    // the platform reports.
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    auto stream = streamOf(fixture(QStringLiteral("hang_until_killed")), {pidFile});
    auto events = start(readAll(stream));
    QTRY_VERIFY_WITH_TIMEOUT(pidFrom(pidFile) > 0, childTimeout);
    QCOMPARE(::kill(pid_t(pidFrom(pidFile)), signal), 0);
    WAIT_FOR(events);
    QCOMPARE(describe(*events->value), QStringList{u"step(download start)"_qs});
    QVERIFY(stream->error());
    QCOMPARE(stream->error()->kind(), ZelkCLIError::Kind::CommandFailed);
    QCOMPARE(stream->error()->exitCode(), signal);
    QCOMPARE(stream->error()->errorDescription(),
             u"`zelk "_qs + pidFile + u"` exited with status "_qs + QString::number(signal) + u'.');
    QVERIFY(!stream->wasCancelled());
}

void TestEventStream::launchFailureEndsAtOnce_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addRow("a missing file") << QStringLiteral(FIXTURE_BIN_DIR "/no-such-zelk");
    QTest::addRow("a directory") << QStringLiteral(FIXTURE_BIN_DIR);
    QTest::addRow("a file without execute permission") << fixtureData(QStringLiteral("events_basic.txt"));
    QTest::addRow("no program at all") << QString();
}

void TestEventStream::launchFailureEndsAtOnce()
{
    QFETCH(QString, executable);
    auto stream = streamOf(executable, {u"install"_qs, u"jq"_qs, u"--json-progress"_qs});
    int ends = 0;
    stream->setEndHandler([&ends] { ++ends; });
    auto events = start(readAll(stream));
    WAIT_FOR(events);
    QVERIFY(events->value->isEmpty());
    QVERIFY(stream->hasEnded());
    QVERIFY(stream->error());
    QCOMPARE(stream->error()->kind(), ZelkCLIError::Kind::LaunchFailed);
    QVERIFY(stream->error()->errorDescription().startsWith(u"Could not start `zelk`: "_qs));
    QVERIFY(!stream->error()->detail().isEmpty());
    QCOMPARE(ends, 1);
}

void TestEventStream::droppingTheStreamEndsTheChild_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("destroy");
    // hang_until_killed dies quietly of SIGTERM; last_words still writes an
    // error event and stderr text and exits 3, none of which may arrive.
    QTest::addRow("cancel, quiet child") << u"hang_until_killed"_qs << false;
    QTest::addRow("cancel, child with last words") << u"last_words"_qs << false;
    QTest::addRow("destroy, quiet child") << u"hang_until_killed"_qs << true;
    QTest::addRow("destroy, child with last words") << u"last_words"_qs << true;
}

void TestEventStream::droppingTheStreamEndsTheChild()
{
    QFETCH(QString, program);
    QFETCH(bool, destroy);
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    std::shared_ptr<ZelkEventStream> stream = streamOf(fixture(program), {pidFile});
    int ends = 0;
    stream->setEndHandler([&ends] { ++ends; });

    auto first = start(nextOf(stream));
    WAIT_FOR(first);
    QVERIFY(first->value->has_value());
    QCOMPARE(describe(**first->value), u"step(download start)"_qs);
    QTRY_VERIFY_WITH_TIMEOUT(pidFrom(pidFile) > 0, childTimeout);
    const qint64 pid = pidFrom(pidFile);
    QVERIFY(!processIsGone(pid));

    std::weak_ptr<ZelkEventStream> watch = stream;
    if (destroy) {
        stream.reset();
        QVERIFY(watch.expired());
    } else {
        stream->cancel();
        QVERIFY(stream->hasEnded());
        QVERIFY(stream->wasCancelled());
    }
    QCOMPARE(ends, 1);
    // Terminated and reaped, not merely signalled.
    QTRY_VERIFY_WITH_TIMEOUT(processIsGone(pid), childTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(ProcessRegistry::instance().liveCount(), 0, childTimeout);
    QCOMPARE(ends, 1);

    if (!destroy) {
        // Whatever the child wrote after the request is not delivered, and
        // its exit status does not turn the cancellation into a failure.
        auto rest = start(readAll(stream));
        WAIT_FOR(rest);
        QVERIFY(rest->value->isEmpty());
        QVERIFY(!stream->error());
        QVERIFY(stream->wasCancelled());
    }
}

void TestEventStream::cancelWakesAWaitingReader()
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    std::shared_ptr<ZelkEventStream> stream = streamOf(fixture(QStringLiteral("hang_until_killed")), {pidFile});
    auto first = start(nextOf(stream));
    WAIT_FOR(first);
    QVERIFY(first->value->has_value());
    QTRY_VERIFY_WITH_TIMEOUT(pidFrom(pidFile) > 0, childTimeout);
    const qint64 pid = pidFrom(pidFile);
    // The child writes nothing more: this reader waits until the cancel.
    auto second = start(nextOf(stream));
    QCoreApplication::processEvents();
    QVERIFY(!second->value);
    stream->cancel();
    WAIT_FOR(second);
    QVERIFY(!second->value->has_value());
    QVERIFY(!stream->error());
    QTRY_VERIFY_WITH_TIMEOUT(processIsGone(pid), childTimeout);
}

void TestEventStream::droppedBeforeTheChildHasStarted_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::addRow("cancel") << false;
    QTest::addRow("destroy") << true;
}

void TestEventStream::droppedBeforeTheChildHasStarted()
{
    // No event loop turn between making the stream and letting it go: the
    // child is still starting, and must not be left to hang.
    QFETCH(bool, destroy);
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    std::shared_ptr<ZelkEventStream> stream = streamOf(fixture(QStringLiteral("hang_until_killed")), {pidFile});
    if (destroy) {
        stream.reset();
    } else {
        stream->cancel();
        QVERIFY(stream->wasCancelled());
    }
    QTRY_COMPARE_WITH_TIMEOUT(ProcessRegistry::instance().liveCount(), 0, childTimeout);
    // If it got as far as writing its pid, it is gone now.
    const qint64 pid = pidFrom(pidFile);
    QVERIFY(pid == 0 || processIsGone(pid));
}

void TestEventStream::endHandlerRunsOnce_data()
{
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QByteArray>("output");
    QTest::addRow("normal end") << 0 << QByteArray(R"({"event":"step"})" "\n");
    QTest::addRow("error event") << 1 << readBytes(fixtureData(QStringLiteral("events_error.txt")));
    QTest::addRow("commandFailed") << 2 << QByteArray();
}

void TestEventStream::endHandlerRunsOnce()
{
    QFETCH(int, exitStatus);
    QFETCH(QByteArray, output);
    TestSupport::FakeZelk zelk;
    const QStringList arguments{u"install"_qs, u"jq"_qs, u"--json-progress"_qs};
    zelk.setDocument(arguments, output);
    zelk.setExitStatus(exitStatus);
    std::shared_ptr<ZelkEventStream> stream = streamOf(zelk.executable(), arguments);
    int ends = 0;
    stream->setEndHandler([&ends] { ++ends; });
    auto events = start(readAll(stream));
    WAIT_FOR(events);
    QCOMPARE(ends, 1);
    // Cancelling or dropping an ended stream does not run it again.
    stream->cancel();
    QVERIFY(!stream->wasCancelled());
    stream.reset();
    QCOMPARE(ends, 1);
}

void TestEventStream::floodedStandardErrorDoesNotStallEvents()
{
    // 64 MiB on stderr between two events: the second event arrives while
    // the child still runs (it waits for the go file, which this test creates
    // only after it has that event), and all of stderr is kept.
    QTemporaryDir dir;
    const QString go = dir.filePath(QStringLiteral("go"));
    std::shared_ptr<ZelkEventStream> stream = streamOf(fixture(QStringLiteral("stderr_flood_stream")), {go, u"64"_qs});

    auto first = start(nextOf(stream));
    WAIT_FOR(first);
    QVERIFY(first->value->has_value());
    QCOMPARE(describe(**first->value), u"step(before start)"_qs);
    auto second = start(nextOf(stream));
    WAIT_FOR(second);
    QVERIFY(second->value->has_value());
    QCOMPARE(describe(**second->value), u"step(after start)"_qs);
    QVERIFY(!stream->hasEnded());

    QFile goFile(go);
    QVERIFY(goFile.open(QIODevice::WriteOnly));
    goFile.close();
    auto rest = start(readAll(stream));
    WAIT_FOR(rest);
    QCOMPARE(describe(*rest->value), QStringList{u"done(jq  none none)"_qs});
    QVERIFY(stream->error());
    QCOMPARE(stream->error()->exitCode(), 4);
    const QString message = stream->error()->message();
    QCOMPARE(message.size(), qsizetype(64) * 1024 * 1024 + 10);
    QVERIFY(message.startsWith(u"xxxx"_qs));
    QVERIFY(message.endsWith(u"x\nflood-end"_qs));
}

void TestEventStream::closedStandardOutputWaitsForTheExit()
{
    // End of stdout is not the end of the run: the stream ends when zelk
    // exits, with its exit status and what it wrote to stderr afterwards.
    QTemporaryDir dir;
    const QString closed = dir.filePath(QStringLiteral("closed"));
    const QString go = dir.filePath(QStringLiteral("go"));
    std::shared_ptr<ZelkEventStream> stream = streamOf(fixture(QStringLiteral("close_stdout_early")), {closed, go});
    auto events = start(readAll(stream));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(closed), childTimeout);
    // Let the end of stdout reach us.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QVERIFY(!stream->hasEnded());
    QVERIFY(!events->value);

    QFile goFile(go);
    QVERIFY(goFile.open(QIODevice::WriteOnly));
    goFile.close();
    WAIT_FOR(events);
    QCOMPARE(describe(*events->value), QStringList{u"step(download start)"_qs});
    QVERIFY(stream->error());
    QCOMPARE(stream->error()->exitCode(), 5);
    QCOMPARE(stream->error()->message(), u"late words"_qs);
}

void TestEventStream::operationVector()
{
    TestSupport::FakeZelk zelk;
    const QStringList expected{u"install"_qs, u"jq"_qs, u"fd"_qs, u"--yes"_qs, u"--json-progress"_qs};
    zelk.setDocument(expected, R"({"event":"done","package":"jq"})" "\n");
    std::shared_ptr<ZelkEventStream> stream =
        ZelkCLI(zelk.executable()).operation(ZelkCLI::Operation::Install, {u"jq"_qs, u"fd"_qs}, {u"--yes"_qs});
    QCOMPARE(stream->arguments(), expected);
    auto events = start(readAll(stream));
    WAIT_FOR(events);
    QVERIFY(!stream->error());
    QCOMPARE(zelk.invocations(), QStringList{u"5: install jq fd --yes --json-progress"_qs});
    QCOMPARE(events->value->size(), 1);
}

REVEZE_TEST_MAIN(TestEventStream)
#include "tst_eventstream.moc"
