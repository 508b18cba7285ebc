#pragma once

// Shared helpers of the ReveZE test suites.

#include <QCoreApplication>
#include <QEventLoop>

#include <memory>
#include <optional>
#include <QString>
#include <QTest>

#include <qcoro/qcorotask.h>

namespace TestSupport {

// Path of a fake child program built from tests/fixtures/<name>.cpp.
QString fixture(const QString &name);
// Path of a file under tests/fixtures/data.
QString fixtureData(const QString &name);

// Counts Qt's "Destroyed while process ... is still running" warnings; the
// test main fails the run when it is not zero.
void installMessageHandler();
int destroyedWhileRunningCount();

// Runs a coroutine to its end from a test (tests may spin an event loop; the
// application never does).
template<typename T>
T await(QCoro::Task<T> &&task)
{
    std::optional<T> result;
    QEventLoop loop;
    bool done = false;
    auto drive = [&]() -> QCoro::Task<> {
        result.emplace(co_await std::move(task));
        done = true;
        loop.quit();
    };
    auto driver = drive();
    if (!done)
        loop.exec();
    return std::move(*result);
}

inline void await(QCoro::Task<> &&task)
{
    QEventLoop loop;
    bool done = false;
    auto drive = [&]() -> QCoro::Task<> {
        co_await std::move(task);
        done = true;
        loop.quit();
    };
    auto driver = drive();
    if (!done)
        loop.exec();
}

// The outcome of a task started with startDetached(), filled when it ends.
template<typename T>
struct Outcome {
    std::optional<T> value;
};

// Starts a task and lets it run on its own; the test waits for the outcome
// with QTRY_* so a task that never finishes fails instead of hanging.
template<typename T>
std::shared_ptr<Outcome<T>> startDetached(QCoro::Task<T> task)
{
    auto outcome = std::make_shared<Outcome<T>>();
    auto runner = [](QCoro::Task<T> inner, std::shared_ptr<Outcome<T>> out) -> QCoro::Task<> {
        out->value.emplace(co_await std::move(inner));
    };
    // Dropping the runner's task detaches it; it still runs to its end.
    auto detached = runner(std::move(task), outcome);
    Q_UNUSED(detached);
    return outcome;
}

int finishRun(int qtestResult);

} // namespace TestSupport

#define REVEZE_TEST_MAIN_IMPL(AppClass, TestObject)                    \
    int main(int argc, char **argv)                                     \
    {                                                                   \
        TestSupport::installMessageHandler();                           \
        AppClass app(argc, argv);                                       \
        app.setAttribute(Qt::AA_Use96Dpi, true);                        \
        TestObject tc;                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                      \
        return TestSupport::finishRun(QTest::qExec(&tc, argc, argv));   \
    }

// A test without widgets.
#define REVEZE_TEST_MAIN(TestObject) REVEZE_TEST_MAIN_IMPL(QCoreApplication, TestObject)

#include <QStringList>
#include <QTemporaryDir>

namespace TestSupport {

// A scripted zelk (the recording_zelk fixture): answers each argument vector
// with a document placed here, records every invocation, and exits with the
// chosen status. It is configured through the environment, which children
// inherit, so one FakeZelk is active at a time.
class FakeZelk
{
public:
    FakeZelk();
    ~FakeZelk();

    QString executable() const;
    // The document printed for exactly these arguments.
    void setDocument(const QStringList &arguments, const QByteArray &content);
    void removeDocument(const QStringList &arguments);
    void setExitStatus(int status);
    // Written to standard error after the document.
    void setStandardError(const QByteArray &text);
    // "N: words" per run, in the order the runs started.
    QStringList invocations() const;
    int count(const QStringList &arguments) const;

    // Each run waits until `count` runs are in flight together.
    void setRendezvous(int count);
    // Runs whose first word is `word` answer after `ms` milliseconds.
    void setSlow(const QString &word, int ms);
    // For "@hang" answers: where the hanging run writes its pid, and the file
    // whose creation lets it finish (none: it waits for a signal).
    QString pidFile() const;
    QString releaseFile() const;
    void enableRelease();
    // The pid a hanging run wrote, or 0 while it has not yet.
    qint64 hangingPid() const;

private:
    QTemporaryDir m_dir;
};

} // namespace TestSupport
