#pragma once
// Plays a WAV sound without holding up the program: the sound is written
// once to a file in the program's data folder and handed to the first
// player the desktop has (see SoundOutput.h). A desktop without any stays
// silent.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

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

 private:
  std::filesystem::path folder_;
  std::vector<std::string> players_;
  std::set<std::string> ready_;  // sounds whose files are in place
};

}  // namespace qgm
