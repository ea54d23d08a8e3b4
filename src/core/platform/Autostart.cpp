#include "core/platform/Autostart.h"

#include "core/platform/FileIo.h"

namespace qgm {

TAutostart::TAutostart(const std::filesystem::path& folder) {
  if (!folder.empty()) file_ = folder / AutostartEntryName();
}

bool TAutostart::Exists() const {
  std::error_code ec;
  return !file_.empty() && std::filesystem::exists(file_, ec);
}

bool TAutostart::Enable(const std::string& programPath) const {
  if (file_.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  return WriteFileAtomic(file_, AutostartEntryText(programPath));
}

bool TAutostart::Disable() const {
  std::error_code ec;
  return file_.empty() || std::filesystem::remove(file_, ec) || !ec;
}

}  // namespace qgm
