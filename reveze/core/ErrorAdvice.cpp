#include "ErrorAdvice.h"

#include "Localizer.h"

#include <array>

namespace ReveZE {

namespace {

struct KnownCode
{
    QStringView code;
    L advice;
    bool retryable;
};

// The error codes of zelk's error events that ReveZE gives specific advice for.
constexpr std::array knownCodes{
    KnownCode{u"E_NETWORK", L::errNetwork, true},
    KnownCode{u"E_TLS", L::errTLS, false},
    KnownCode{u"E_HTTP", L::errHTTP, true},
    KnownCode{u"E_NOT_FOUND", L::errNotFound, false},
    KnownCode{u"E_DATA", L::errData, false},
    KnownCode{u"E_PERMISSION", L::errPermission, false},
    KnownCode{u"E_DISK", L::errDisk, false},
    KnownCode{u"E_LOCKED", L::errLocked, true},
    KnownCode{u"E_DECLINED", L::errDeclined, false},
    KnownCode{u"E_USAGE", L::errUsage, false},
};

const KnownCode *find(const QString &code)
{
    for (const KnownCode &known : knownCodes) {
        if (known.code == code) // QStringView == QString: exact, case-sensitive
            return &known;
    }
    return nullptr;
}

} // namespace

std::optional<L> ErrorAdvice::adviceKey(const std::optional<QString> &code)
{
    if (!code)
        return std::nullopt;
    const KnownCode *known = find(*code);
    return known ? known->advice : L::errFailed;
}

std::optional<QString> ErrorAdvice::sentence(const std::optional<QString> &code, const Localizer &l)
{
    const auto key = adviceKey(code);
    if (!key)
        return std::nullopt;
    return l(*key);
}

bool ErrorAdvice::isRetryable(const std::optional<QString> &code)
{
    if (!code)
        return false;
    const KnownCode *known = find(*code);
    return known && known->retryable;
}

} // namespace ReveZE
