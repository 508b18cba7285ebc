#include "EventWriter.h"

#include "JsonWriter.h"
#include "Pace.h"

#include <cerrno>
#include <unistd.h>

namespace ZelkSim {

namespace {

bool writeAll(int descriptor, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

void printOutBytes(const QByteArray &bytes)
{
    if (!writeAll(STDOUT_FILENO, bytes))
        Pace::interrupt();
}

void printOut(const QString &text)
{
    printOutBytes(text.toUtf8());
}

void printErr(const QString &text)
{
    writeAll(STDERR_FILENO, text.toUtf8());
}

void EventWriter::emitLine(const JsonWriter &event)
{
    printOutBytes(event.bytes() + '\n');
}

namespace {

JsonWriter startEvent(QLatin1String name)
{
    JsonWriter json;
    json.beginObject().field("event", name);
    return json;
}

} // namespace

void EventWriter::plan(const QStringList &steps)
{
    if (!m_json) {
        printOut(QStringLiteral("==> Plan: %1\n").arg(steps.join(QLatin1String(", "))));
        return;
    }
    emitLine(startEvent(QLatin1String("plan")).stringsField("steps", steps).endObject());
}

void EventWriter::step(const QString &name, const QString &status, const QString &subject)
{
    if (!m_json) {
        if (status == QLatin1String("start"))
            printOut(QStringLiteral("==> %1%2\n").arg(name, subject.isEmpty() ? QString() : QLatin1Char(' ') + subject));
        return;
    }
    emitLine(startEvent(QLatin1String("step"))
                 .field("name", name)
                 .field("status", status)
                 .optionalField("package", subject)
                 .endObject());
}

void EventWriter::progress(const QString &step, qint64 done, qint64 total, const QString &subject)
{
    const qint64 percent = total > 0 ? done * 100 / total : 100;
    if (!m_json) {
        printOut(QStringLiteral("    %1% (%2/%3 bytes)\n").arg(percent).arg(done).arg(total));
        return;
    }
    emitLine(startEvent(QLatin1String("progress"))
                 .field("step", step)
                 .integerField("done", done)
                 .integerField("total", total)
                 .integerField("percent", percent)
                 .optionalField("package", subject)
                 .endObject());
}

void EventWriter::package(const QString &name, const QString &status)
{
    if (!m_json) {
        printOut(QStringLiteral("    %1: %2\n").arg(name, status));
        return;
    }
    emitLine(startEvent(QLatin1String("package")).field("name", name).field("status", status).endObject());
}

void EventWriter::status(const QString &package, const QString &version, const QString &state, const QString &fromVersion)
{
    if (!m_json) {
        const QString change = fromVersion.isEmpty() ? version : fromVersion + QLatin1String(" -> ") + version;
        printOut(QStringLiteral("==> %1 %2 (%3)\n").arg(package, state, change));
        return;
    }
    emitLine(startEvent(QLatin1String("status"))
                 .field("package", package)
                 .field("version", version)
                 .field("state", state)
                 .optionalField("from_version", fromVersion)
                 .endObject());
}

void EventWriter::summary(const QStringList &upgraded, const QStringList &unchanged, const QStringList &failed)
{
    if (!m_json) {
        printOut(QStringLiteral("==> Summary: %1 changed, %2 unchanged, %3 failed\n")
                     .arg(upgraded.size())
                     .arg(unchanged.size())
                     .arg(failed.size()));
        return;
    }
    emitLine(startEvent(QLatin1String("summary"))
                 .stringsField("upgraded", upgraded)
                 .stringsField("unchanged", unchanged)
                 .stringsField("failed", failed)
                 .endObject());
}

void EventWriter::done(const QString &package, const QString &version, const QString &bin, bool linked)
{
    if (!m_json) {
        printOut(QStringLiteral("==> Done: %1@%2%3\n")
                     .arg(package, version, linked && !bin.isEmpty() ? QStringLiteral(", linked ") + bin : QString()));
        return;
    }
    emitLine(startEvent(QLatin1String("done"))
                 .field("package", package)
                 .field("version", version)
                 .optionalField("bin", bin)
                 .booleanField("linked", linked)
                 .endObject());
}

void EventWriter::error(const QString &message, const QStringList &hints, const QString &code)
{
    if (!m_json) {
        QString text = QStringLiteral("Error: %1 [%2]\n").arg(message, code);
        for (const QString &hint : hints)
            text += QLatin1String("  ") + hint + QLatin1Char('\n');
        printErr(text);
        return;
    }
    emitLine(startEvent(QLatin1String("error"))
                 .field("message", message)
                 .stringsField("hint", hints)
                 .field("code", code)
                 .endObject());
}

} // namespace ZelkSim
