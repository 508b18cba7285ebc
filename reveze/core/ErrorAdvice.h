#pragma once

// The advice shown under a failed install, upgrade or reinstall, chosen from
// the machine-readable code of zelk's error event ("E_DISK", ...), and whether
// running the operation again is worth offering. Codes are compared exactly:
// whole text, case-sensitive, no trimming.

#include "L.h"

#include <QString>

#include <optional>

namespace ReveZE {

class Localizer;

class ErrorAdvice
{
public:
    ErrorAdvice() = delete;

    // No value without a code; the advice of a known code in the language in
    // use; the general "The operation failed." advice for any other code.
    static std::optional<QString> sentence(const std::optional<QString> &code, const Localizer &l);

    // The key of that advice; no value without a code.
    static std::optional<L> adviceKey(const std::optional<QString> &code);

    // True exactly for the transient failures E_NETWORK, E_HTTP and E_LOCKED.
    static bool isRetryable(const std::optional<QString> &code);
};

} // namespace ReveZE
