#pragma once

// Shared helpers of the ReveZE test suites.

#include <QCoreApplication>
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
    return QCoro::waitFor(std::move(task));
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
