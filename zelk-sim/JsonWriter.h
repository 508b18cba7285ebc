#pragma once

// A small streaming JSON writer. zelk-sim prints documents of up to a
// hundred thousand packages; building them as QJsonDocument costs seconds on
// a loaded machine, writing them straight into one buffer costs milliseconds.
// Keys are written in the order given, so "event" leads every progress line.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <string_view>

namespace ZelkSim {

class JsonWriter
{
public:
    JsonWriter &beginObject();
    JsonWriter &endObject();
    JsonWriter &beginArray();
    JsonWriter &endArray();
    // The key (UTF-8) of the next value inside an object.
    JsonWriter &key(std::string_view name);

    JsonWriter &string(const QString &text);
    JsonWriter &integer(qint64 number);
    JsonWriter &boolean(bool flag);
    JsonWriter &strings(const QStringList &list);

    // Shorthands for key(name) followed by the value.
    JsonWriter &field(std::string_view name, const QString &text) { return key(name).string(text); }
    JsonWriter &field(std::string_view name, QLatin1String text) { return key(name).string(text); }
    JsonWriter &field(std::string_view name, const char *) = delete;
    JsonWriter &integerField(std::string_view name, qint64 number) { return key(name).integer(number); }
    JsonWriter &booleanField(std::string_view name, bool flag) { return key(name).boolean(flag); }
    JsonWriter &stringsField(std::string_view name, const QStringList &list) { return key(name).strings(list); }
    // Only when text is not empty: optional keys are left out, not null.
    JsonWriter &optionalField(std::string_view name, const QString &text);

    // A line break before the next value (or the closing bracket), so that
    // lists of records in the state directory read as one record per line.
    JsonWriter &lineBreak();

    const QByteArray &bytes() const { return m_out; }

private:
    void beforeValue();
    void closeContainer(char bracket);

    QByteArray m_out;
    QList<bool> m_hasMember; // per open container: something was written
    bool m_afterKey = false;
    bool m_pendingBreak = false;
};

} // namespace ZelkSim
