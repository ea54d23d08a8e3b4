#pragma once
// Where the program keeps things: its settings folder, its data folder and
// the desktop's autostart folder, and the running program's own path. The
// program takes them once at start (the demo and the tests pass folders of
// their own instead), so nothing below reads the environment again.

#include <filesystem>

namespace qgm {

struct TFolders {
  std::filesystem::path Config;     // the hive and the endpoints file
  std::filesystem::path Data;       // usage files, the usage log, sounds, debug log
  std::filesystem::path Autostart;  // where the run-on-startup entry goes
};

// The user's own folders (Linux: $XDG_CONFIG_HOME/Corvalink,
// $XDG_DATA_HOME/Corvalink and $XDG_CONFIG_HOME/autostart). A folder that
// cannot be told is empty.
TFolders UserFolders();
// Folders for a run of its own below `base` (config/, data/, autostart/).
TFolders FoldersBelow(const std::filesystem::path& base);

// Makes the folder (and its parents) readable by the user alone; false
// when it cannot be made. For the program's own folders.
bool MakePrivateFolder(const std::filesystem::path& folder);
// A folder the user named (qgm-cli --data-dir): each missing level is made
// readable by the user alone, while one that exists already keeps its mode
// (it may be shared on purpose); false when it cannot be made.
bool MakeNamedFolder(const std::filesystem::path& folder);
// The data folder made ready for use; the program's own folder when it
// cannot be made.
std::filesystem::path ReadyDataFolder(const TFolders& folders);

// The running program's full path and its folder.
std::filesystem::path ProgramPath();
std::filesystem::path ProgramFolder();

}  // namespace qgm
