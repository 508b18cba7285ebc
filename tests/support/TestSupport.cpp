#include "TestSupport.h"

#include <QDir>
#include <QStandardPaths>

#include <atomic>
#include <cstdio>

namespace TestSupport {

namespace {
std::atomic<int> destroyedWhileRunning{0};
QtMessageHandler previousHandler = nullptr;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("Destroyed while process")))
        ++destroyedWhileRunning;
    if (previousHandler)
        previousHandler(type, context, message);
}
} // namespace

QString fixture(const QString &name)
{
    return QStringLiteral(FIXTURE_BIN_DIR) + QLatin1Char('/') + name;
}

QString fixtureData(const QString &name)
{
    return QStringLiteral(FIXTURE_DATA_DIR) + QLatin1Char('/') + name;
}

void installMessageHandler()
{
    QStandardPaths::setTestModeEnabled(true);
    previousHandler = qInstallMessageHandler(handler);
}

int destroyedWhileRunningCount()
{
    return destroyedWhileRunning.load();
}

int finishRun(int qtestResult)
{
    if (destroyedWhileRunning.load() != 0) {
        std::fprintf(stderr, "FAIL: %d QProcess object(s) destroyed while their child was running\n",
                     destroyedWhileRunning.load());
        return qtestResult == 0 ? 1 : qtestResult;
    }
    return qtestResult;
}

} // namespace TestSupport
