#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <utility>

namespace ZelkKit {

// One argument among the user's extra words that switches off a safety check
// of zelk; the install sheet asks for confirmation before it runs such an
// operation. Only the user's own words are examined, never the switches that
// the sheet composes itself.
class SafetyWarning
{
public:
    // What the switch weakens. The raw values are rawValue() below.
    enum class Reason {
        InsecureTransport, // "insecureTransport": no TLS certificate verification
        UnsupportedOS,     // "unsupportedOS": installs despite a newer required macOS
    };

    SafetyWarning(QString flag, Reason reason) : m_flag(std::move(flag)), m_reason(reason) {}

    // The dangerous switch as the user is told about it ("-F" is reported as
    // "--force").
    const QString &flag() const { return m_flag; }
    Reason reason() const { return m_reason; }
    // Identifies the warning in lists.
    const QString &id() const { return m_flag; }

    // The warnings for words, at most one per reason, reported by the first
    // word that carries it, in the order of those words. A word's switch name
    // is its first non-empty run without "=" ("--force=yes" is "--force",
    // "=--force" is "--force"); the value after "=" is never examined. Names
    // match exactly and case-sensitively: "--forced", "--FORCE", "-f" and the
    // grouped "-yF" do not warn. A word is judged as far as zelk receives
    // it, which is up to a NUL if it holds one.
    static QList<SafetyWarning> detect(const QStringList &words);

    friend bool operator==(const SafetyWarning &, const SafetyWarning &) = default;

private:
    QString m_flag;
    Reason m_reason;
};

QString rawValue(SafetyWarning::Reason reason);
// Accepts exactly "insecureTransport" and "unsupportedOS".
std::optional<SafetyWarning::Reason> reasonFromRawValue(QStringView raw);

} // namespace ZelkKit
