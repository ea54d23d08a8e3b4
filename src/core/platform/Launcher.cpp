#include "core/platform/Launcher.h"

#include "core/platform/Associations.h"
#include "core/platform/Programs.h"

namespace qgm {

TLauncher::TLauncher(TRegistryStore& registry, TLaunchCalls calls) : calls_(std::move(calls)) {
  if (!calls_.OpenWithDesktop) {
    calls_.OpenWithDesktop = [](const std::string& t, std::function<void()> onFailure) {
      return OpenWithDesktop(t, std::move(onFailure));
    };
  }
  if (!calls_.Start)
    calls_.Start = [](const std::vector<std::string>& argv) { return StartProgram(argv); };
  if (!calls_.CommandFor) {
    calls_.CommandFor = [&registry](const std::string& ext, const std::string& target) {
      return AssociatedOpenCommand(registry, ext, target);
    };
  }
}

bool TLauncher::IsWebAddress(const std::string& address) {
  auto startsWith = [&](const char* prefix) {
    const std::string p = prefix;
    if (address.size() <= p.size()) return false;
    for (size_t i = 0; i < p.size(); ++i) {
      char c = address[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != p[i]) return false;
    }
    return true;
  };
  if (!startsWith("http://") && !startsWith("https://")) return false;
  for (char c : address) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
  }
  return true;
}

bool TLauncher::OpenWithFallback(const std::string& target, std::vector<std::string> fallback) {
  // The fallback is worked out here, on the caller's thread; only starting
  // it may happen on the opener's.
  auto start = calls_.Start;
  const auto startFallback = [start, fallback] {
    if (!fallback.empty()) start(fallback);
  };
  if (calls_.OpenWithDesktop(target, startFallback)) return true;
  return !fallback.empty() && calls_.Start(fallback);
}

bool TLauncher::OpenUrl(const std::string& address) {
  if (address.empty() || !IsWebAddress(address)) return false;
  return OpenWithFallback(address, calls_.CommandFor(".htm", address));
}

bool TLauncher::PlayStream(const std::string& player, const std::string& address) {
  if (!IsWebAddress(address)) return false;
  if (!player.empty()) return calls_.Start({player, address});
  std::vector<std::string> command = calls_.CommandFor(".pls", address);
  if (command.empty()) command = calls_.CommandFor(".mp3", address);
  return !command.empty() && calls_.Start(command);
}

bool TLauncher::OpenFile(const std::string& fileName) {
  if (fileName.empty()) return false;
  // A name starting with "-" would read as an option.
  const std::string path = fileName[0] == '-' ? "./" + fileName : fileName;
  const auto dot = fileName.rfind('.');
  const auto slash = fileName.rfind('/');
  const std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                              ? ""
                              : fileName.substr(dot);
  auto command = ext.empty() ? std::vector<std::string>() : calls_.CommandFor(ext, path);
  // No association: a plain-text editor, as the program's own fallback.
  if (command.empty()) command = calls_.CommandFor(".txt", path);
  return OpenWithFallback(path, std::move(command));
}

bool TLauncher::HasAssociation(const std::string& extension) {
  return !calls_.CommandFor(extension, "file").empty();
}

}  // namespace qgm
