#include "core/platform/linux/XdgDirs.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "core/platform/DesktopAssociations.h"
#include "core/platform/FileIo.h"
#include "core/util/Text.h"

namespace qgm {
namespace {

// This user's home folder in the password database; empty when it has
// no entry.
std::string PasswordDatabaseHome() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < (1u << 20))
    buffer.resize(buffer.size() * 2);
  return found && found->pw_dir ? found->pw_dir : std::string();
}

bool IsAbsolute(const char* value) {
  return value && std::filesystem::path(value).is_absolute();
}

std::vector<std::filesystem::path> SplitDirs(const char* value, const char* fallback) {
  std::vector<std::filesystem::path> dirs;
  std::string text = value && *value ? value : fallback;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ':')) {
    if (!part.empty()) dirs.emplace_back(part);
  }
  return dirs;
}

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  const auto text = ReadWholeFile(file);
  if (!text) return lines;
  std::stringstream in(*text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The value of `key` in `section` of an ini-style file.
std::string IniValue(const std::filesystem::path& file, const std::string& section,
                     const std::string& key) {
  bool inSection = false;
  for (const std::string& line : Lines(file)) {
    if (!line.empty() && line[0] == '[') {
      inSection = line == "[" + section + "]";
      continue;
    }
    if (!inSection) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string k = line.substr(0, eq);
    while (!k.empty() && k.back() == ' ') k.pop_back();
    if (k == key) {
      std::string v = line.substr(eq + 1);
      while (!v.empty() && v.front() == ' ') v.erase(0, 1);
      return v;
    }
  }
  return {};
}

// The first application of a ";"-separated list whose desktop entry exists.
std::filesystem::path FindDesktopFile(const std::string& list, const TXdgDirs& dirs) {
  std::stringstream in(list);
  std::string id;
  std::vector<std::filesystem::path> appDirs = {dirs.DataHome / "applications"};
  for (const auto& d : dirs.DataDirs) appDirs.push_back(d / "applications");
  while (std::getline(in, id, ';')) {
    if (id.empty()) continue;
    for (const auto& dir : appDirs) {
      std::error_code ec;
      // "org.example-app.desktop" may live in a subfolder "org/example-app.desktop".
      for (std::filesystem::path candidate : {dir / id, dir / [&] {
                                                std::string p = id;
                                                for (char& c : p) {
                                                  if (c == '-') c = '/';
                                                }
                                                return p;
                                              }()}) {
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
      }
    }
  }
  return {};
}

}  // namespace

std::filesystem::path HomeFolderFrom(const char* home,
                                     const std::function<std::string()>& passwordDatabaseHome) {
  if (IsAbsolute(home)) return home;
  const std::string entry = passwordDatabaseHome();
  if (IsAbsolute(entry.c_str())) return entry;
  return {};
}

std::filesystem::path HomeFolder() {
  return HomeFolderFrom(std::getenv("HOME"), PasswordDatabaseHome);
}

std::filesystem::path XdgBaseFolder(const char* value,
                                    const std::function<std::filesystem::path()>& home,
                                    const char* belowHome) {
  if (IsAbsolute(value)) return value;
  const std::filesystem::path folder = home();
  return folder.empty() ? folder : folder / belowHome;
}

std::filesystem::path XdgConfigHome() {
  return XdgBaseFolder(std::getenv("XDG_CONFIG_HOME"), HomeFolder, ".config");
}
std::filesystem::path XdgDataHome() {
  return XdgBaseFolder(std::getenv("XDG_DATA_HOME"), HomeFolder, ".local/share");
}

TXdgDirs TXdgDirs::Default() {
  TXdgDirs d;
  d.ConfigHome = XdgConfigHome();
  d.ConfigDirs = SplitDirs(std::getenv("XDG_CONFIG_DIRS"), "/etc/xdg");
  d.DataHome = XdgDataHome();
  d.DataDirs = SplitDirs(std::getenv("XDG_DATA_DIRS"), "/usr/local/share:/usr/share");
  return d;
}

std::string MimeTypeOfExtension(const std::string& extension, const TXdgDirs& dirs) {
  const std::string glob = "*" + LowerAscii(extension);
  std::string best;
  int bestWeight = -1;
  std::vector<std::filesystem::path> mimeDirs = {dirs.DataHome / "mime"};
  for (const auto& d : dirs.DataDirs) mimeDirs.push_back(d / "mime");
  for (const auto& dir : mimeDirs) {
    for (const std::string& line : Lines(dir / "globs2")) {
      if (line.empty() || line[0] == '#') continue;
      const size_t a = line.find(':');
      const size_t b = a == std::string::npos ? a : line.find(':', a + 1);
      if (b == std::string::npos) continue;
      std::string pattern = line.substr(b + 1);
      pattern = pattern.substr(0, pattern.find(':'));
      if (LowerAscii(pattern) != glob) continue;
      const int weight = std::atoi(line.substr(0, a).c_str());
      if (weight > bestWeight) {
        bestWeight = weight;
        best = line.substr(a + 1, b - a - 1);
      }
    }
    if (!best.empty()) return best;
  }
  const std::string bare = LowerAscii(extension.substr(extension.rfind('.') + 1));
  for (const std::string& line : Lines("/etc/mime.types")) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream in(line);
    std::string type, ext;
    in >> type;
    while (in >> ext) {
      if (LowerAscii(ext) == bare) return type;
    }
  }
  return {};
}

std::string DefaultApplicationCommand(const std::string& mimeType, const TXdgDirs& dirs) {
  if (mimeType.empty()) return {};
  std::vector<std::filesystem::path> lists = {dirs.ConfigHome / "mimeapps.list"};
  for (const auto& d : dirs.ConfigDirs) lists.push_back(d / "mimeapps.list");
  lists.push_back(dirs.DataHome / "applications" / "mimeapps.list");
  for (const auto& d : dirs.DataDirs) lists.push_back(d / "applications" / "mimeapps.list");
  std::filesystem::path desktop;
  for (const auto& list : lists) {
    desktop = FindDesktopFile(IniValue(list, "Default Applications", mimeType), dirs);
    if (!desktop.empty()) break;
  }
  if (desktop.empty()) {
    // No default named: the first application that says it handles the type.
    std::vector<std::filesystem::path> caches = {dirs.DataHome / "applications" / "mimeinfo.cache"};
    for (const auto& d : dirs.DataDirs) caches.push_back(d / "applications" / "mimeinfo.cache");
    for (const auto& cache : caches) {
      desktop = FindDesktopFile(IniValue(cache, "MIME Cache", mimeType), dirs);
      if (!desktop.empty()) break;
    }
  }
  if (desktop.empty()) return {};
  // Field codes are left for the caller: the command names its program first.
  return IniValue(desktop, "Desktop Entry", "Exec");
}

std::string DefaultApplicationProgram(const std::string& extension, const TXdgDirs& dirs) {
  const auto args = DefaultApplicationArguments(extension, {}, dirs);
  return args.empty() ? std::string() : args[0];
}

std::vector<std::string> DefaultApplicationArguments(const std::string& extension,
                                                     const std::string& target,
                                                     const TXdgDirs& dirs) {
  const std::string exec = DefaultApplicationCommand(MimeTypeOfExtension(extension, dirs), dirs);
  return exec.empty() ? std::vector<std::string>() : ExecArguments(exec, target);
}

std::vector<std::string> DesktopOpenCommand(const std::string& extension,
                                            const std::string& target) {
  return DefaultApplicationArguments(extension, target, TXdgDirs::Default());
}

std::vector<std::string> SplitExecLine(const std::string& exec) {
  return ExecArguments(exec, {});
}

std::vector<std::string> ExecArguments(const std::string& exec, const std::string& target) {
  // First undo the string escapes of the desktop entry format.
  std::string s;
  for (size_t i = 0; i < exec.size(); ++i) {
    if (exec[i] == '\\' && i + 1 < exec.size()) {
      const char n = exec[++i];
      s += n == 's' ? ' ' : n == 'n' ? '\n' : n == 't' ? '\t' : n == 'r' ? '\r' : n;
      if (n != 's' && n != 'n' && n != 't' && n != 'r' && n != '\\') s.insert(s.size() - 1, "\\");
    } else {
      s += exec[i];
    }
  }
  std::vector<std::string> args;
  std::string current;
  bool inArg = false, quoted = false, targetPlaced = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '%' && i + 1 < s.size()) {
      // "%%" is a percent sign; the file and address codes take the target
      // (once: the rest of them are dropped); any other code is dropped.
      const char code = s[++i];
      if (code == '%') {
        current += '%';
        inArg = true;
      } else if (std::string("fFuU").find(code) != std::string::npos && !target.empty() &&
                 !targetPlaced) {
        current += target;
        inArg = targetPlaced = true;
      }
    } else if (quoted) {
      if (c == '\\' && i + 1 < s.size() &&
          std::string("\"`$\\").find(s[i + 1]) != std::string::npos) {
        current += s[++i];
      } else if (c == '"') {
        quoted = false;
      } else {
        current += c;
      }
    } else if (c == '"') {
      quoted = inArg = true;
    } else if (c == ' ' || c == '\t') {
      if (inArg) args.push_back(current);
      current.clear();
      inArg = false;
    } else {
      current += c;
      inArg = true;
    }
  }
  if (inArg && !current.empty()) args.push_back(current);
  // An entry without a file code still gets the file, as its last argument.
  if (!target.empty() && !targetPlaced && !args.empty()) args.push_back(target);
  return args;
}

std::vector<TDesktopApplication> AudioApplications(const TXdgDirs& dirs) {
  std::vector<std::filesystem::path> roots;
  if (!dirs.DataHome.empty()) roots.push_back(dirs.DataHome);
  roots.insert(roots.end(), dirs.DataDirs.begin(), dirs.DataDirs.end());
  std::vector<TDesktopApplication> apps;
  std::vector<std::string> seenFiles;
  for (const auto& root : roots) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(root / "applications", ec)) {
      const std::filesystem::path file = entry.path();
      const std::string id = file.filename().string();
      if (file.extension() != ".desktop") continue;
      // The user's entry of the same name hides the system's.
      if (std::find(seenFiles.begin(), seenFiles.end(), id) != seenFiles.end()) continue;
      seenFiles.push_back(id);
      const std::string section = "Desktop Entry";
      const std::string types = IniValue(file, section, "MimeType");
      if (IniValue(file, section, "NoDisplay") == "true" ||
          IniValue(file, section, "Hidden") == "true")
        continue;
      if (types.find("audio/") == std::string::npos && types.find("x-scpls") == std::string::npos)
        continue;
      const std::vector<std::string> command = SplitExecLine(IniValue(file, section, "Exec"));
      if (command.empty()) continue;
      TDesktopApplication app{IniValue(file, section, "Name"), command.front(),
                              IniValue(file, section, "Icon")};
      if (app.Name.empty()) app.Name = app.Program;
      const bool known = std::any_of(apps.begin(), apps.end(), [&](const TDesktopApplication& a) {
        return a.Program == app.Program;
      });
      if (!known) apps.push_back(std::move(app));
    }
  }
  std::sort(
      apps.begin(), apps.end(),
      [](const TDesktopApplication& a, const TDesktopApplication& b) { return a.Name < b.Name; });
  return apps;
}

std::vector<TDesktopApplication> AudioApplications() {
  return AudioApplications(TXdgDirs::Default());
}

std::filesystem::path ThemeSound(const std::string& event, const std::string& theme,
                                 const TXdgDirs& dirs) {
  std::vector<std::filesystem::path> roots;
  if (!dirs.DataHome.empty()) roots.push_back(dirs.DataHome);
  roots.insert(roots.end(), dirs.DataDirs.begin(), dirs.DataDirs.end());
  std::vector<std::string> themes = {theme};
  if (theme != "freedesktop") themes.push_back("freedesktop");
  for (std::string name = event; !name.empty();) {
    for (const std::string& t : themes) {
      for (const auto& root : roots) {
        for (const char* ext : {".oga", ".ogg", ".wav"}) {
          const std::filesystem::path file = root / "sounds" / t / "stereo" / (name + ext);
          std::error_code ec;
          if (std::filesystem::is_regular_file(file, ec)) return file;
        }
      }
    }
    const auto dash = name.rfind('-');
    name = dash == std::string::npos ? std::string() : name.substr(0, dash);
  }
  return {};
}

}  // namespace qgm
