#pragma once
// Which program opens a file type: the registry's association lookup (over
// the settings store, so a hive holding associations answers as Windows
// would), and on Linux the XDG MIME database (the default application of the
// type in mimeapps.list and its desktop entry's Exec line).

#include <filesystem>
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

// Where the XDG lookup reads; Default() takes them from the environment.
struct TXdgDirs {
  std::filesystem::path ConfigHome;
  std::vector<std::filesystem::path> ConfigDirs;
  std::filesystem::path DataHome;
  std::vector<std::filesystem::path> DataDirs;
  static TXdgDirs Default();
};

// The MIME type of an extension from the shared MIME database's glob lists
// (the heaviest glob wins), else from /etc/mime.types; empty when unknown.
std::string MimeTypeOfExtension(const std::string& extension, const TXdgDirs& dirs);
// The Exec line of the default application for a MIME type, field codes
// removed; empty when there is none.
std::string DefaultApplicationCommand(const std::string& mimeType, const TXdgDirs& dirs);

// The command for an extension: the registry's answer, else the XDG one.
std::string FindAssociatedCommandAnywhere(TRegistryStore& registry, const std::string& extension,
                                          const TXdgDirs& dirs = TXdgDirs::Default());
// Its program (see CommandProgram).
std::string FindAssociatedExe(TRegistryStore& registry, const std::string& extension,
                              const TXdgDirs& dirs = TXdgDirs::Default());

// Splits a desktop entry's Exec value into its arguments (quoting rules of
// the desktop entry specification), field codes such as %u dropped.
std::vector<std::string> SplitExecLine(const std::string& exec);

}  // namespace qgm
