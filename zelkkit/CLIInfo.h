#pragma once

// What `zelk version --json` says about the installed zelk: its version, the
// machine-readable protocol it speaks and its optional features. The app
// model checks it on every refresh, so that a zelk that is too new or lacks a
// feature ReveZE relies on is reported instead of being used blindly.

#include "Json.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ZelkKit {

struct CLIInfo {
    QString version;
    qint64 protocolNumber = 0;
    QStringList capabilities;
    std::optional<QString> platform;
    std::optional<QString> baseDir;

    // The highest protocol number ReveZE understands.
    static constexpr qint64 supportedProtocol = 1;
    // "json-progress" (the progress-event stream), then "status" (the
    // install-status query), in this order.
    static const QStringList &requiredCapabilities();

    // Exact, case-sensitive membership in capabilities.
    bool supports(const QString &capability) const;
    bool isTooNew() const;
    // The required capabilities zelk lacks, in the order of
    // requiredCapabilities().
    QStringList missingRequiredCapabilities() const;

    static CLIInfo fromJson(simdjson::dom::element element, Json::Context &context);
};

} // namespace ZelkKit
