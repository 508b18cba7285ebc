#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace ZelkKit {

// The three streamed operations of zelk; the raw values are its subcommands.
// Exposed as ZelkCLI::Operation; kept in its own header so that the pure
// operation-composition code does not pull in the process runner.
enum class ZelkOperation { Install, Upgrade, Reinstall };

QString rawValue(ZelkOperation operation);
// Accepts exactly "install", "upgrade" and "reinstall".
std::optional<ZelkOperation> operationFromRawValue(QStringView raw);

} // namespace ZelkKit
