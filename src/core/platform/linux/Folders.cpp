#include "core/platform/Folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "core/platform/linux/XdgDirs.h"

namespace qgm {

TFolders UserFolders() {
  TFolders f;
  const auto config = XdgConfigHome();
  const auto data = XdgDataHome();
  if (!config.empty()) {
    f.Config = config / "Corvalink";
    f.Autostart = config / "autostart";
  }
  if (!data.empty()) f.Data = data / "Corvalink";
  return f;
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) return false;
  ::chmod(folder.c_str(), 0700);
  return true;
}

bool MakeNamedFolder(const std::filesystem::path& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  std::filesystem::path level;
  for (const auto& part : folder) {
    level /= part;
    if (part.empty() || std::filesystem::is_directory(level, ec)) continue;
    if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return std::filesystem::is_directory(folder, ec);
}

std::filesystem::path ProgramPath() {
  std::error_code ec;
  const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : p;
}

}  // namespace qgm
