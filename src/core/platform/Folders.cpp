#include "core/platform/Folders.h"

namespace qgm {

TFolders FoldersBelow(const std::filesystem::path& base) {
  return {base / "config", base / "data", base / "autostart"};
}

std::filesystem::path ReadyDataFolder(const TFolders& folders) {
  return MakePrivateFolder(folders.Data) ? folders.Data : ProgramFolder();
}

std::filesystem::path ProgramFolder() {
  return ProgramPath().parent_path();
}

}  // namespace qgm
