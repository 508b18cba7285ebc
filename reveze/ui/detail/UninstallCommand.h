#pragma once

// The command the detail offers for removing a package, meant to be pasted
// into a shell. A name made only of the characters zelk's package names use
// (ASCII letters and digits and . _ + - @) is appended as it stands, so the
// usual command reads "zelk uninstall jq". Any other name came from zelk's
// state or a fetched index and could hold ";", "$(...)", a quote or a line
// break; it is quoted for a POSIX shell in single quotes (a ' inside written
// '\''), so that pasting it runs nothing but zelk.

#include <QString>

namespace ReveZE::UninstallCommand {

// "zelk uninstall " followed by the name, quoted where it must be.
QString forPackage(const QString &name);

// Whether the name is appended unquoted.
bool isPlainName(const QString &name);

} // namespace ReveZE::UninstallCommand
