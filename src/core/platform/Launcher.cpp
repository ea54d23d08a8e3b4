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

std::string TLauncher::StreamAddress(const std::string& address) {
  if (address.empty()) return {};
  if (IsWebAddress(address)) return address;
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  // A host name or address starts with a letter or digit, an IPv6 address
  // with "["; anything else ("-x", "/x", "//x") is no address to guess at.
  if (!letter(address[0]) && !digit(address[0]) && address[0] != '[') return {};
  // "name:" at the front is a scheme (a letter, then letters, digits, "+",
  // "-" or "."), unless a port follows the colon: "host:8000" is a host.
  const size_t colon = address.find(':');
  if (colon != std::string::npos && letter(address[0])) {
    bool scheme = true;
    for (size_t i = 1; i < colon && scheme; ++i) {
      const char c = address[i];
      scheme = letter(c) || digit(c) || c == '+' || c == '-' || c == '.';
    }
    size_t end = colon + 1;
    while (end < address.size() && digit(address[end])) ++end;
    const bool port = end > colon + 1 && (end == address.size() || address[end] == '/' ||
                                          address[end] == '?' || address[end] == '#');
    if (scheme && !port) return {};
  }
  const std::string web = "http://" + address;
  return IsWebAddress(web) ? web : std::string();
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

bool TLauncher::PlayStream(const std::string& player, const std::string& channelAddress) {
  const std::string address = StreamAddress(channelAddress);
  if (address.empty()) return false;
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
