#include "core/platform/Associations.h"

#include <cstdlib>

#include "core/platform/DesktopAssociations.h"
#include "core/util/Text.h"

namespace qgm {
namespace {

// The default value of a key, or empty when the key or value is missing.
std::string DefaultOf(TRegistryStore& store, TRootKey root, const std::string& path,
                      const std::string& name = "") {
  TRegistry reg(store);
  reg.RootKey = root;
  if (!reg.OpenKeyReadOnly(path)) return {};
  try {
    return reg.ValueExists(name) ? reg.ReadString(name) : std::string();
  } catch (const ERegistryException&) {
    return {};
  }
}

bool KeyOpens(TRegistryStore& store, TRootKey root, const std::string& path) {
  TRegistry reg(store);
  reg.RootKey = root;
  return reg.OpenKeyReadOnly(path);
}

}  // namespace

std::string ExpandEnvStrings(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '%') {
      const size_t close = text.find('%', i + 1);
      if (close != std::string::npos && close > i + 1) {
        const std::string name = text.substr(i + 1, close - i - 1);
        if (const char* value = std::getenv(name.c_str())) {
          out += value;
          i = close + 1;
          continue;
        }
        out += text.substr(i, close - i);  // unknown: keep "%NAME" and look on from the "%"
        i = close;
        continue;
      }
    }
    out += text[i++];
  }
  return out.size() > 259 ? text : out;
}

std::string FindAssociatedCommand(TRegistryStore& store, const std::string& ext) {
  constexpr auto HKCU = TRootKey::HKEY_CURRENT_USER;
  constexpr auto HKCR = TRootKey::HKEY_CLASSES_ROOT;
  std::string progId, appName, command;
  {
    TRegistry reg(store);
    if (reg.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" +
                            ext)) {
      try {
        if (reg.ValueExists("ProgId")) {
          progId = reg.ReadString("ProgId");
        } else if (reg.ValueExists("Application")) {
          appName = reg.ReadString("Application");
        }
      } catch (const ERegistryException&) {
      }
    }
  }
  if (progId.empty()) progId = DefaultOf(store, HKCU, "\\Software\\Classes\\" + ext);
  if (!appName.empty()) {
    command = DefaultOf(store, HKCU,
                        "\\Software\\Classes\\Applications\\" + appName + "\\shell\\open\\command");
    if (!command.empty()) return ExpandEnvStrings(command);
  }
  if (progId.empty()) {
    if (KeyOpens(store, HKCR, "\\" + ext)) {
      progId = DefaultOf(store, HKCR, "\\" + ext);
      if (progId.empty()) {
        const std::string perceived = DefaultOf(store, HKCR, "\\" + ext, "PerceivedType");
        if (!perceived.empty()) {
          command = DefaultOf(store, HKCR,
                              "\\SystemFileAssociations\\" + perceived + "\\shell\\open\\command");
          if (!command.empty()) return ExpandEnvStrings(command);
        }
      }
    }
  }
  if (progId.empty()) return {};
  command = DefaultOf(store, HKCU, "\\Software\\Classes\\" + progId + "\\shell\\open\\command");
  if (!command.empty()) return ExpandEnvStrings(command);
  if (KeyOpens(store, HKCR, "\\" + progId + "\\shell\\")) {
    std::string verb = DefaultOf(store, HKCR, "\\" + progId + "\\shell\\");
    if (verb.empty()) verb = "open";
    command = DefaultOf(store, HKCR, "\\" + progId + "\\shell\\" + verb + "\\command");
  }
  return command.empty() ? std::string() : ExpandEnvStrings(command);
}

std::string CommandProgram(const std::string& c) {
  if (c.empty()) return {};
  if (c[0] == '"') {
    const size_t close = c.find('"', 1);
    return c.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  const std::string lower = LowerAscii(c);
  const size_t exe = lower.rfind(".exe");
  if (exe != std::string::npos && exe >= 1) return c.substr(0, exe + 4);
  // No ".exe": the first word. (Four characters, as a bare reading of the
  // rule gives, name no program.)
  return c.substr(0, c.find_first_of(" \t"));
}

std::vector<std::string> AssociatedOpenCommand(TRegistryStore& registry,
                                               const std::string& extension,
                                               const std::string& target) {
  const std::string command = FindAssociatedCommand(registry, extension);
  if (command.empty()) return DesktopOpenCommand(extension, target);
  const std::string program = CommandProgram(command);
  return program.empty() ? std::vector<std::string>() : std::vector<std::string>{program, target};
}

std::string FindAssociatedExe(TRegistryStore& registry, const std::string& extension) {
  const auto command = AssociatedOpenCommand(registry, extension, {});
  return command.empty() ? std::string() : command[0];
}

}  // namespace qgm
