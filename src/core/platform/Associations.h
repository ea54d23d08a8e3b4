#pragma once
// Which program opens a file type: the registry's association lookup (over
// the settings store, so a hive holding associations answers as Windows
// would), else the desktop's own (see DesktopAssociations.h).

#include <string>
#include <vector>

#include "core/platform/Registry.h"

namespace qgm {

// Environment references written %NAME% replaced by their values; unknown
// names stay as written. A result longer than 259 characters cannot be
// expanded and the text comes back unchanged.
std::string ExpandEnvStrings(const std::string& text);

// The open command the registry associates with an extension (".htm"),
// environment references expanded, or empty: the per-user FileExts entry
// (ProgId, else Application), the per-user classes, then the classes root
// with its perceived types and shell verbs.
std::string FindAssociatedCommand(TRegistryStore& registry, const std::string& extension);

// The program of a command line: the text inside its leading double quotes;
// else everything through its last ".exe" (the dot not first); else its
// first blank-separated word (a command such as "firefox %u" names its
// program first). Empty for an empty command.
std::string CommandProgram(const std::string& command);

// The program for an extension: the registry's (see CommandProgram), else
// the one the desktop associates with it.
std::string FindAssociatedExe(TRegistryStore& registry, const std::string& extension);
// The argument list that opens `target` with it: the registry's program
// with the target, else the desktop's command line for the type (see
// DesktopAssociations.h). Never a shell command line.
std::vector<std::string> AssociatedOpenCommand(TRegistryStore& registry,
                                               const std::string& extension,
                                               const std::string& target);

}  // namespace qgm
