#pragma once

// The text of `zelk linkquery --all --raw`: one "name@version" line per
// linked package. Kept apart from ZelkCLI, which runs the query, so that the
// parser can be exercised (and fuzzed) without a process or an event loop.

#include <QHash>
#include <QString>

namespace ZelkKit {

// Package name -> linked version. Lines are split at line feeds (empty ones
// dropped); leading "@" characters are skipped, and the name runs to the next
// "@"; the version is everything after it, further "@" included. A line
// without a name or without a version adds nothing; nothing is trimmed; a
// later line for the same name wins.
QHash<QString, QString> parseLinkedVersions(const QString &text);

} // namespace ZelkKit
