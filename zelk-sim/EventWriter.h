#pragma once

// Writes what an operation reports: with --json-progress one JSON object per
// line on stdout (flushed at once, so a reader sees each event as it
// happens), otherwise short human-readable lines, errors on stderr.
//
// A write to a closed pipe marks the run as interrupted (Pace), so an
// operation whose reader went away stops like one that was sent SIGTERM.

#include <QString>
#include <QStringList>

namespace ZelkSim {

class JsonWriter;

// Unbuffered writes of whole texts to the two standard streams.
void printOut(const QString &text);
void printOutBytes(const QByteArray &bytes);
void printErr(const QString &text);

class EventWriter
{
public:
    explicit EventWriter(bool json) : m_json(json) {}

    bool json() const { return m_json; }

    void plan(const QStringList &steps);
    // subject is the package the step works on (an extra key for people
    // reading the raw stream; decoders ignore it).
    void step(const QString &name, const QString &status, const QString &subject = {});
    void progress(const QString &step, qint64 done, qint64 total, const QString &subject = {});
    void package(const QString &name, const QString &status);
    void status(const QString &package, const QString &version, const QString &state, const QString &fromVersion = {});
    void summary(const QStringList &upgraded, const QStringList &unchanged, const QStringList &failed);
    void done(const QString &package, const QString &version, const QString &bin, bool linked);
    void error(const QString &message, const QStringList &hints, const QString &code);

private:
    void emitLine(const JsonWriter &event);

    bool m_json;
};

} // namespace ZelkSim
