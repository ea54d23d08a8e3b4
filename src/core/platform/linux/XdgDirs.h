#pragma once
// The XDG base folders and the MIME database lookups behind the desktop's
// file associations, with the folders passed in so tests can point them at
// folders of their own.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/platform/DesktopAssociations.h"

namespace qgm {

// $XDG_CONFIG_HOME (~/.config) and $XDG_DATA_HOME (~/.local/share), the
// home folder as HomeFolder() gives it; empty when there is none.
std::filesystem::path XdgConfigHome();
std::filesystem::path XdgDataHome();

// The user's home folder: $HOME, else this user's entry in the password
// database; empty when neither names an absolute folder (never the shared
// temporary folder in its place).
std::filesystem::path HomeFolder();
// The same from given values: `home` the value of HOME (null when unset),
// `passwordDatabaseHome` the lookup asked when that gives none.
std::filesystem::path HomeFolderFrom(const char* home,
                                     const std::function<std::string()>& passwordDatabaseHome);
// An XDG base folder: `value` (the variable's) when it is absolute (the
// base directory rules ignore a relative one), else `belowHome` in the
// folder `home` gives; empty when that is empty.
std::filesystem::path XdgBaseFolder(const char* value,
                                    const std::function<std::filesystem::path()>& home,
                                    const char* belowHome);

// Where the MIME lookup reads; Default() takes them from the environment.
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
// The Exec line of the default application for a MIME type; empty when
// there is none.
std::string DefaultApplicationCommand(const std::string& mimeType, const TXdgDirs& dirs);
// The program of the default application for an extension, or empty.
std::string DefaultApplicationProgram(const std::string& extension, const TXdgDirs& dirs);
// The argument list that opens `target` with that application; empty when
// there is none.
std::vector<std::string> DefaultApplicationArguments(const std::string& extension,
                                                     const std::string& target,
                                                     const TXdgDirs& dirs);

// The applications whose desktop entries (in the data folders'
// "applications", the user's first) list an audio or playlist MIME type and
// are not hidden, by name; one per program.
std::vector<TDesktopApplication> AudioApplications(const TXdgDirs& dirs);

// A sound of the freedesktop sound theme for an event ("message-new-email"),
// falling back as the sound naming specification says ("message-new",
// "message"): <data dir>/sounds/<theme>/stereo/<name>.oga, .ogg or .wav,
// the "freedesktop" theme after `theme`. Empty when there is none.
std::filesystem::path ThemeSound(const std::string& event, const std::string& theme,
                                 const TXdgDirs& dirs);

// The Exec value of a desktop entry for a program path, quoted as the
// desktop entry specification requires.
std::string DesktopExecValue(const std::string& programPath);

// Splits a desktop entry's Exec value into its arguments (quoting rules of
// the desktop entry specification), field codes such as %u dropped.
std::vector<std::string> SplitExecLine(const std::string& exec);
// The same with `target` put where the first of %f %F %u %U stands (at the
// end when none does): the argument list that opens it, for starting
// without a shell.
std::vector<std::string> ExecArguments(const std::string& exec, const std::string& target);

}  // namespace qgm
