#include "core/sound/SoundPlayer.h"

#include <mutex>
#include <system_error>

#include "core/platform/FileIo.h"
#include "core/platform/Programs.h"
#include "core/platform/SoundOutput.h"

namespace qgm {

// What the players' threads share with the program: the players that
// failed, and the log their complaints go to.
struct TSoundPlayer::TShared {
  std::mutex lock;
  std::set<std::string> failed;
  TDebugLog log;
};

namespace {

bool Failed(TSoundPlayer::TShared& shared, const std::string& player) {
  std::lock_guard hold(shared.lock);
  return shared.failed.contains(player);
}

// The first line of a player's complaint, cut short.
std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  if (line.size() > 200) line.resize(200);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return line;
}

// Starts players[i..] on the file, each one after the one before it failed.
bool StartFrom(const std::shared_ptr<TSoundPlayer::TShared>& shared,
               std::vector<std::string> players, size_t i, std::string file) {
  for (; i < players.size(); ++i) {
    if (Failed(*shared, players[i]) || !ProgramExists(players[i])) continue;
    const bool started =
        RunDetached({players[i], file}, [shared, players, i, file](int status, const std::string& errors) {
          if (status == 0) return;
          TDebugLog log;
          {
            std::lock_guard hold(shared->lock);
            shared->failed.insert(players[i]);
            log = shared->log;
          }
          log.Write("Sound: " + players[i] + " failed (" + std::to_string(status) +
                    "): " + FirstLine(errors));
          StartFrom(shared, players, i + 1, file);
        });
    if (started) return true;
  }
  return false;
}

}  // namespace

TSoundPlayer::TSoundPlayer(std::filesystem::path folder, std::vector<std::string> players)
    : folder_(std::move(folder)), players_(std::move(players)), shared_(std::make_shared<TShared>()) {
  if (players_.empty()) players_ = SoundPlayers();
}

void TSoundPlayer::SetLog(const TDebugLog& log) {
  std::lock_guard hold(shared_->lock);
  shared_->log = log;
}

std::string TSoundPlayer::Player(bool wav) const {
  for (const std::string& p : players_) {
    if (!wav && std::filesystem::path(p).filename() == "aplay") continue;
    if (!Failed(*shared_, p) && ProgramExists(p)) return p;
  }
  return {};
}

bool TSoundPlayer::PlayFile(const std::filesystem::path& file) {
  if (file.empty()) return false;
  std::vector<std::string> players;
  for (const std::string& p : players_)
    if (file.extension() == ".wav" || std::filesystem::path(p).filename() != "aplay")
      players.push_back(p);
  return StartFrom(shared_, players, 0, file.string());
}

bool TSoundPlayer::Play(const std::string& name, const std::string& wave) {
  if (Player().empty()) return false;
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
  return StartFrom(shared_, players_, 0, file.string());
}

}  // namespace qgm
