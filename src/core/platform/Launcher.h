#pragma once
// Opening web addresses and files for the user: the desktop's default
// action first, else the program associated with the type. Programs are
// always started with an argument list, never through a shell.

#include <functional>
#include <string>
#include <vector>

#include "core/platform/Registry.h"

namespace qgm {

// How the launcher reaches the desktop; the defaults are the platform's
// calls (tests put their own in).
struct TLaunchCalls {
  std::function<bool(const std::string& target, std::function<void()> onFailure)> OpenWithDesktop;
  std::function<bool(const std::vector<std::string>& argv)> Start;
  // The argument list opening `target` with the program associated with
  // the extension; empty when none is.
  std::function<std::vector<std::string>(const std::string& extension, const std::string& target)>
      CommandFor;
};

class TLauncher {
 public:
  explicit TLauncher(TRegistryStore& registry, TLaunchCalls calls = {});

  // Opens a web address with the desktop's default action, else with the
  // program associated with ".htm". Only http and https addresses are
  // opened; anything else is refused. Nothing is waited for: when the
  // desktop's action fails later, the associated program is started then.
  bool OpenUrl(const std::string& address);
  // Opens a file with the default action, else with the program associated
  // with its extension, else in a plain-text editor.
  bool OpenFile(const std::string& fileName);
  // Plays a radio stream: with `player` (a program, given the address as its
  // one argument) or, with none, the desktop's program for playlists
  // (".pls"), else for MP3 audio. Only what StreamAddress accepts is played.
  bool PlayStream(const std::string& player, const std::string& address);
  // Whether any program is associated with the extension.
  bool HasAssociation(const std::string& extension);

  static bool IsWebAddress(const std::string& address);
  // The address a channel is played from: an http or https address as it
  // stands; one without a scheme ("host:8000/x", as the channel editor's
  // "URL:Port" invites) as http; empty for anything else (another scheme
  // such as file: or javascript:, control characters, or text that cannot
  // start a host name), which is never handed to a player.
  static std::string StreamAddress(const std::string& address);

 private:
  bool OpenWithFallback(const std::string& target, std::vector<std::string> fallback);

  TLaunchCalls calls_;
};

}  // namespace qgm
