#include "core/platform/ProcessValues.h"

#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>

#include "core/util/Format.h"

namespace qgm {

namespace {

std::filesystem::path XdgHome(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = std::getenv(variable); value && *value) return value;
  if (const char* home = std::getenv("HOME"); home && *home) {
    return std::filesystem::path(home) / fallbackBelowHome;
  }
  return {};
}

}  // namespace

std::filesystem::path XdgConfigHome() {
  return XdgHome("XDG_CONFIG_HOME", ".config");
}
std::filesystem::path XdgDataHome() {
  return XdgHome("XDG_DATA_HOME", ".local/share");
}

std::string VersionText() {
  return QGM_VERSION;
}

std::string ProgramUserAgent() {
  return "QGM/" + VersionText();
}

std::filesystem::path ProgramPath() {
  std::error_code ec;
  const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : p;
}

std::filesystem::path ProgramFolder() {
  return ProgramPath().parent_path();
}

std::filesystem::path DataFolder() {
  const std::filesystem::path base = XdgDataHome();
  if (!base.empty()) {
    const auto folder = base / "Corvalink";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (std::filesystem::is_directory(folder, ec)) {
      ::chmod(folder.c_str(), 0700);
      return folder;
    }
  }
  return ProgramFolder();
}

void InitLocale() {
  std::setlocale(LC_ALL, "");
  LoadFormatSettingsFromLocale();
  // Numbers are read and written with "." whatever the locale says.
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace qgm
