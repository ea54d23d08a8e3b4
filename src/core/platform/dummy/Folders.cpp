#include <unistd.h>

#include "core/platform/Folders.h"

namespace qgm {

TFolders UserFolders() {
  return FoldersBelow(std::filesystem::temp_directory_path() /
                      ("qgm-dummy-" + std::to_string(::getpid())));
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

bool MakeNamedFolder(const std::filesystem::path& folder) {
  return MakePrivateFolder(folder);
}

std::filesystem::path ProgramPath() {
  return UserFolders().Config.parent_path() / "bin" / "qgm";
}

}  // namespace qgm
