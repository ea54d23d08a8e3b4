#include "core/platform/Autostart.h"

#include "core/platform/linux/XdgDirs.h"

namespace qgm {

std::string AutostartEntryName() {
  return "CorvalinkUsage.desktop";
}

std::string DesktopExecValue(const std::string& programPath) {
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

std::string AutostartEntryText(const std::string& programPath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Corvalink Usage\n"
         "Comment=Shows how much of the month's broadband allowance is left\n"
         "Exec=" +
         DesktopExecValue(programPath) +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

}  // namespace qgm
