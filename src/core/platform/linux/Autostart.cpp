#include "core/platform/Autostart.h"

#include "core/platform/FileIo.h"

namespace qgm {

TAutostart::TAutostart(const std::filesystem::path& folder) {
  if (!folder.empty()) file_ = folder / "CorvalinkUsage.desktop";
}

bool TAutostart::Exists() const {
  std::error_code ec;
  return !file_.empty() && std::filesystem::exists(file_, ec);
}

std::string TAutostart::ExecValue(const std::string& programPath) {
  // Quote the path when it holds anything but plain characters; inside the
  // quotes ", `, $ and \ are escaped with a backslash, and the desktop-file
  // string rules double every backslash once more.
  const bool plain = programPath.find_first_of(" \t\n\"'\\><~|&;$*?#()`%=") == std::string::npos;
  if (plain) return programPath;
  std::string quoted = "\"";
  for (char c : programPath) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  std::string out;
  for (char c : quoted) {
    if (c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out;
}

bool TAutostart::Enable(const std::string& programPath) const {
  if (file_.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Corvalink Usage\n"
      "Comment=Shows how much of the month's broadband allowance is left\n"
      "Exec=" +
      ExecValue(programPath) +
      "\n"
      "Terminal=false\n"
      "X-GNOME-Autostart-enabled=true\n";
  return WriteFileAtomic(file_, entry);
}

bool TAutostart::Disable() const {
  std::error_code ec;
  return file_.empty() || std::filesystem::remove(file_, ec) || !ec;
}

}  // namespace qgm
