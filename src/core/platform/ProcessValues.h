#pragma once
// Values fixed once per process: the version, the program's own path and
// folder, the data folder, and the number conventions.

#include <filesystem>
#include <string>

namespace qgm {

// The XDG base folders: $XDG_CONFIG_HOME (~/.config) and $XDG_DATA_HOME
// (~/.local/share); empty when neither the variable nor HOME is set.
std::filesystem::path XdgConfigHome();
std::filesystem::path XdgDataHome();

// "%d.%d.%d" of the build's version.
std::string VersionText();
// "QGM/" + the version text.
std::string ProgramUserAgent();
// The running program's full path and folder.
std::filesystem::path ProgramPath();
std::filesystem::path ProgramFolder();
// $XDG_DATA_HOME/Corvalink/ (~/.local/share/Corvalink/), created when
// missing; the program folder when it cannot be made.
std::filesystem::path DataFolder();
// The user's locale for thousands separators and currency; "." stays the
// decimal separator for the whole process.
void InitLocale();

}  // namespace qgm
