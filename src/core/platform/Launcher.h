#pragma once
// Starting other programs, always with an argument list (never through a
// shell), and handing addresses and files to the desktop's default program.

#include <string>
#include <vector>

#include "core/platform/Associations.h"

namespace qgm {

// Starts argv[0] (looked up in PATH) with the arguments. Returns false when
// it could not be started, or when it ended with a failure within
// `failWithinMs` (0: do not wait for it). A program still running then
// counts as started; it is reaped when it ends.
bool StartProgram(const std::vector<std::string>& argv, int failWithinMs = 0);

class TLauncher {
 public:
  explicit TLauncher(TRegistryStore& registry, TXdgDirs dirs = TXdgDirs::Default(),
                     std::string opener = "xdg-open");

  // Opens a web address with the desktop's default action, else with the
  // program associated with ".htm". Only http and https addresses are
  // opened; anything else is refused.
  bool OpenUrl(const std::string& address);
  // Opens a file with the default action, else with the program associated
  // with its extension, else in a plain-text editor.
  bool OpenFile(const std::string& fileName);

  static bool IsWebAddress(const std::string& address);

 private:
  TRegistryStore& registry_;
  TXdgDirs dirs_;
  std::string opener_;
};

}  // namespace qgm
