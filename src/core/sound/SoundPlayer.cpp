#include "core/sound/SoundPlayer.h"

#include <system_error>

#include "core/platform/FileIo.h"
#include "core/platform/Programs.h"
#include "core/platform/SoundOutput.h"

namespace qgm {
TSoundPlayer::TSoundPlayer(std::filesystem::path folder, std::vector<std::string> players)
    : folder_(std::move(folder)), players_(std::move(players)) {
  if (players_.empty()) players_ = SoundPlayers();
}

std::string TSoundPlayer::Player(bool wav) const {
  for (const std::string& p : players_) {
    if (!wav && std::filesystem::path(p).filename() == "aplay") continue;
    if (ProgramExists(p)) return p;
  }
  return {};
}

bool TSoundPlayer::PlayFile(const std::filesystem::path& file) {
  if (file.empty()) return false;
  const std::string player = Player(file.extension() == ".wav");
  if (player.empty()) return false;
  return StartProgram({player, file.string()});
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
