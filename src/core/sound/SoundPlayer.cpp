#include "core/sound/SoundPlayer.h"

#include <cstdlib>
#include <system_error>

#include <unistd.h>

#include "core/platform/Launcher.h"
#include "core/util/FileIo.h"

namespace qgm {
namespace {

bool InPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir =
        dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

}  // namespace

TSoundPlayer::TSoundPlayer(std::filesystem::path folder, std::vector<std::string> players)
    : folder_(std::move(folder)), players_(std::move(players)) {}

std::string TSoundPlayer::Player() const {
  for (const std::string& p : players_) {
    if (InPath(p)) return p;
  }
  return {};
}

bool TSoundPlayer::Play(const std::string& name, const std::string& wave) {
  const std::string player = Player();
  if (player.empty()) return false;
  const std::filesystem::path file = folder_ / (name + ".wav");
  // The file is checked once a run; later alerts just play it.
  if (!ready_.contains(name)) {
    const auto current = ReadWholeFile(file);
    if (!current || *current != wave) {
      std::error_code ec;
      std::filesystem::create_directories(folder_, ec);
      if (!WriteFileAtomic(file, wave, 0600)) return false;
    }
    ready_.insert(name);
  }
  return StartProgram({player, file.string()});
}

}  // namespace qgm
