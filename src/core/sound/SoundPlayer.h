#pragma once
// Plays a WAV sound without holding up the program: the sound is written
// once to a file in the program's data folder and handed to the first
// player the desktop has (see SoundOutput.h). A player that fails (pw-play
// without PipeWire running, aplay without a sound card) hands the sound to
// the next and is passed over from then on; what players write to their
// error output goes to the debug log, never to the terminal. A desktop
// without any player stays silent.

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/debug/DebugLog.h"

namespace qgm {

class TSoundPlayer {
 public:
  // `players` in order of preference (empty: the platform's); each is a
  // program name (looked up in PATH) or path whose only argument is the file.
  explicit TSoundPlayer(std::filesystem::path folder, std::vector<std::string> players = {});

  // Starts playing; false when the sound could not be written or no player
  // was found.
  bool Play(const std::string& name, const std::string& wave);
  // Starts playing a sound file of the desktop's (Ogg Vorbis or WAV).
  bool PlayFile(const std::filesystem::path& file);
  // The player that will be used ("" for none), looked up in PATH; for
  // anything but WAV one that decodes it (not aplay).
  std::string Player(bool wav = true) const;
  // Where a failing player's complaint is written (as the log stands now).
  void SetLog(const TDebugLog& log);

  struct TShared;

 private:
  std::filesystem::path folder_;
  std::vector<std::string> players_;
  std::set<std::string> ready_;     // sounds whose files are in place
  std::shared_ptr<TShared> shared_;  // with the players' threads
};

}  // namespace qgm
