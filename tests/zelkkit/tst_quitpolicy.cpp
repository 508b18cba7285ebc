// The quit policy of ProcessRegistry: stream children are asked to terminate
// at once, query children get a grace to finish, whatever still runs after
// it is killed, and `done` follows once every child has exited and been
// released. Its own executable, because the registry is one per process and
// its shutdown is final; the test main also fails the run on any "Destroyed
// while process" warning.

#include "TestSupport.h"

#include "ProcessRegistry.h"
#include "ZelkCLI.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <memory>

using namespace ZelkKit;
using TestSupport::fixture;

namespace {

constexpr int childTimeout = 60000;

template<typename T>
std::shared_ptr<TestSupport::Outcome<T>> start(QCoro::Task<T> task)
{
    return TestSupport::startDetached(std::move(task));
}

QCoro::Task<int> readAll(std::shared_ptr<ZelkEventStream> stream)
{
    int count = 0;
    while (co_await stream->next())
        ++count;
    co_return count;
}

qint64 pidFrom(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toLongLong() : 0;
}

bool isAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

bool processIsGone(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

} // namespace

class TestQuitPolicy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyChildEndsAndDoneFollows();
};

void TestQuitPolicy::everyChildEndsAndDoneFollows()
{
    QTemporaryDir dir;
    const auto file = [&dir](const char *name) { return dir.filePath(QString::fromLatin1(name)); };

    // A stream whose child dies of SIGTERM.
    const std::shared_ptr<ZelkEventStream> polite =
        ZelkCLI(fixture(QStringLiteral("hang_until_killed"))).stream({file("polite")});
    // A stream whose child ignores SIGTERM.
    const std::shared_ptr<ZelkEventStream> stubborn =
        ZelkCLI(fixture(QStringLiteral("hang_until_killed"))).stream({file("stubborn"), u"--ignore-term"_qs});
    // A stream cancelled before the quit whose child ignored the request.
    const std::shared_ptr<ZelkEventStream> cancelled =
        ZelkCLI(fixture(QStringLiteral("hang_until_killed"))).stream({file("cancelled"), u"--ignore-term"_qs});
    // A query that never finishes on its own.
    auto hangingQuery = start(ZelkCLI(fixture(QStringLiteral("hang_until_killed"))).run({file("query")}));
    // A query that finishes as soon as the "go" file exists.
    auto finishingQuery =
        start(ZelkCLI(fixture(QStringLiteral("wait_for_sibling"))).run({file("waiting"), file("go"), u"finished"_qs}));

    auto politeEvents = start(readAll(polite));
    auto stubbornEvents = start(readAll(stubborn));
    for (const char *name : {"polite", "stubborn", "cancelled", "query"})
        QTRY_VERIFY_WITH_TIMEOUT(pidFrom(file(name)) > 0, childTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file("waiting")), childTimeout);
    const qint64 stubbornPid = pidFrom(file("stubborn"));
    const qint64 cancelledPid = pidFrom(file("cancelled"));
    const qint64 queryPid = pidFrom(file("query"));
    const qint64 politePid = pidFrom(file("polite"));

    cancelled->cancel();
    QVERIFY(cancelled->hasEnded());
    QVERIFY(isAlive(cancelledPid));

    // When the polite stream ends, the hanging query is still running: the
    // stream child was asked at once, not after the grace.
    bool queryAliveWhenPoliteEnded = false;
    polite->setEndHandler([&queryAliveWhenPoliteEnded, queryPid] { queryAliveWhenPoliteEnded = isAlive(queryPid); });

    int doneCalls = 0;
    ProcessRegistry::instance().shutdown(std::chrono::milliseconds(2000), [&doneCalls] { ++doneCalls; });
    QVERIFY(ProcessRegistry::instance().isShuttingDown());
    QFile go(file("go"));
    QVERIFY(go.open(QIODevice::WriteOnly));
    go.close();

    QTRY_COMPARE_WITH_TIMEOUT(doneCalls, 1, childTimeout);
    QCOMPARE(ProcessRegistry::instance().liveCount(), 0);
    for (qint64 pid : {politePid, stubbornPid, cancelledPid, queryPid})
        QVERIFY2(processIsGone(pid), qPrintable(QString::number(pid)));

    QVERIFY(queryAliveWhenPoliteEnded);
    QVERIFY(politeEvents->value);
    QVERIFY(polite->error());
    QCOMPARE(polite->error()->exitCode(), int(SIGTERM));
    QVERIFY(stubbornEvents->value);
    QVERIFY(stubborn->error());
    QCOMPARE(stubborn->error()->exitCode(), int(SIGKILL));
    QVERIFY(!cancelled->error());

    // The finishing query was left to finish; the hanging one was killed.
    QVERIFY(finishingQuery->value);
    QVERIFY(*finishingQuery->value);
    QCOMPARE((*finishingQuery->value)->exitCode, 0);
    QCOMPARE((*finishingQuery->value)->stdoutText, u"finished"_qs);
    QVERIFY(hangingQuery->value);
    QVERIFY(*hangingQuery->value);
    QCOMPARE((*hangingQuery->value)->exitCode, int(SIGKILL));

    // Released processes are deleted, none of them while running.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(TestSupport::destroyedWhileRunningCount(), 0);
    QCOMPARE(doneCalls, 1);
}

REVEZE_TEST_MAIN(TestQuitPolicy)
#include "tst_quitpolicy.moc"
