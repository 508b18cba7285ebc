#pragma once

#include <QString>
#include <QStringList>

#include <variant>

namespace ReveZE {

// Why the installed zelk does not fit this ReveZE: a protocol newer than we
// understand, or required capabilities missing.
struct CompatibilityIssue {
    struct TooNew {
        qint64 protocolNumber = 0;
        qint64 supported = 0;
        friend bool operator==(const TooNew &, const TooNew &) = default;
    };
    struct MissingCapabilities {
        QString version;
        QStringList capabilities;
        friend bool operator==(const MissingCapabilities &, const MissingCapabilities &) = default;
    };

    std::variant<TooNew, MissingCapabilities> value;

    static CompatibilityIssue tooNew(qint64 protocolNumber, qint64 supported)
    {
        return CompatibilityIssue{TooNew{protocolNumber, supported}};
    }
    static CompatibilityIssue missingCapabilities(QString version, QStringList capabilities)
    {
        return CompatibilityIssue{MissingCapabilities{std::move(version), std::move(capabilities)}};
    }

    friend bool operator==(const CompatibilityIssue &, const CompatibilityIssue &) = default;
};

} // namespace ReveZE
