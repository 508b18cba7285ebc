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

#include <QDir>
#include <QFile>

namespace TestSupport {

namespace {
const char *const fakeVariables[] = {"RECORDING_ZELK_DOCS", "RECORDING_ZELK_LOG", "RECORDING_ZELK_EXIT",
                                     "RECORDING_ZELK_STDERR", "RECORDING_ZELK_RENDEZVOUS", "RECORDING_ZELK_SLOW",
                                     "RECORDING_ZELK_PIDFILE", "RECORDING_ZELK_RELEASE"};
}

FakeZelk::FakeZelk()
{
    for (const char *name : fakeVariables)
        qunsetenv(name);
    qputenv("RECORDING_ZELK_PIDFILE", QFile::encodeName(m_dir.filePath(QStringLiteral("pid"))));
    qputenv("RECORDING_ZELK_DOCS", QFile::encodeName(m_dir.path()));
    qputenv("RECORDING_ZELK_LOG", QFile::encodeName(m_dir.filePath(QStringLiteral("log.txt"))));
    qunsetenv("RECORDING_ZELK_EXIT");
    qunsetenv("RECORDING_ZELK_STDERR");
}

FakeZelk::~FakeZelk()
{
    for (const char *name : fakeVariables)
        qunsetenv(name);
}

void FakeZelk::setRendezvous(int count)
{
    const QString dir = m_dir.filePath(QStringLiteral("rendezvous"));
    QDir().mkpath(dir);
    qputenv("RECORDING_ZELK_RENDEZVOUS", QFile::encodeName(dir) + ':' + QByteArray::number(count));
}

void FakeZelk::setSlow(const QString &word, int ms)
{
    qputenv("RECORDING_ZELK_SLOW", word.toUtf8() + ':' + QByteArray::number(ms));
}

QString FakeZelk::pidFile() const
{
    return m_dir.filePath(QStringLiteral("pid"));
}

QString FakeZelk::releaseFile() const
{
    return m_dir.filePath(QStringLiteral("release"));
}

void FakeZelk::enableRelease()
{
    qputenv("RECORDING_ZELK_RELEASE", QFile::encodeName(releaseFile()));
}

qint64 FakeZelk::hangingPid() const
{
    QFile file(pidFile());
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().toLongLong();
}

QString FakeZelk::executable() const
{
    return fixture(QStringLiteral("recording_zelk"));
}

void FakeZelk::setDocument(const QStringList &arguments, const QByteArray &content)
{
    QFile file(m_dir.filePath(arguments.join(QLatin1Char('_')) + QStringLiteral(".json")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write a fake zelk document");
    file.write(content);
}

void FakeZelk::removeDocument(const QStringList &arguments)
{
    QFile::remove(m_dir.filePath(arguments.join(QLatin1Char('_')) + QStringLiteral(".json")));
}

void FakeZelk::setStandardError(const QByteArray &text)
{
    qputenv("RECORDING_ZELK_STDERR", text);
}

void FakeZelk::setExitStatus(int status)
{
    qputenv("RECORDING_ZELK_EXIT", QByteArray::number(status));
}

QStringList FakeZelk::invocations() const
{
    QFile file(m_dir.filePath(QStringLiteral("log.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int FakeZelk::count(const QStringList &arguments) const
{
    const QString line = QString::number(arguments.size()) + QStringLiteral(": ") + arguments.join(QLatin1Char(' '));
    return int(invocations().count(line));
}

} // namespace TestSupport
