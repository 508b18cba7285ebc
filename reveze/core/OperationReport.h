#pragma once

// The plain-text report that the install sheet's "Copy error" button puts on
// the clipboard: the versions involved, the error code, the whole log and the
// failure, laid out so that a user can paste it into a message to an
// administrator.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace ReveZE {

struct OperationReport
{
    QString appVersion;                  // this application's version
    std::optional<QString> cliVersion;   // `version` of zelk's version record
    std::optional<qint64> cliProtocol;   // protocol number of that record
    std::optional<QString> errorCode;    // code of the failed run's error event
    QStringList log;                     // the texts of the run's log lines, in order
    std::optional<QString> failure;      // the failure text of the run

    // The report, its lines joined by "\n", without a line feed after the last:
    //   ReveZE <appVersion>
    //   Quindle <cliVersion or ?> (protocol <cliProtocol or ?>)
    //   error code: <errorCode>          only with a code
    //   (an empty line)
    //   every log entry, unchanged
    //   failure: <failure>               only when no log entry contains the
    //                                    failure text; an empty failure is
    //                                    contained in none
    QString text() const;

    // The application's own version, "?" when it has none.
    static QString applicationVersion();

    friend bool operator==(const OperationReport &, const OperationReport &) = default;
};

} // namespace ReveZE
