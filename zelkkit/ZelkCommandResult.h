#pragma once

#include <QString>
#include <QtGlobal>

namespace ZelkKit {

// What one finished run of zelk produced.
struct ZelkCommandResult {
    QString stdoutText;
    QString stderrText;
    qint32 exitCode = 0;
    // The child died by a signal; exitCode then holds the signal number.
    bool crashed = false;

    bool succeeded() const { return exitCode == 0; }

    // Standard error when it is not empty (even if it is only blanks),
    // otherwise standard output; trimmed of white space and line breaks.
    QString message() const
    {
        return (stderrText.isEmpty() ? stdoutText : stderrText).trimmed();
    }

    friend bool operator==(const ZelkCommandResult &, const ZelkCommandResult &) = default;
};

} // namespace ZelkKit
