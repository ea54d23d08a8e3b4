#include "core/platform/DesktopAssociations.h"

namespace qgm {

// The dummy desktop associates nothing: only the registry answers.
std::vector<std::string> DesktopOpenCommand(const std::string&, const std::string&) {
  return {};
}

// Two players, so the chooser has something to show.
std::vector<TDesktopApplication> AudioApplications() {
  return {{"Dummy Player", "/dummy/bin/player", "audio-x-generic"},
          {"Other Player", "otherplayer", ""}};
}

}  // namespace qgm
