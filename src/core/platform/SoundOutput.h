#pragma once
// The programs that play a WAV file on this desktop, best first (Linux:
// PipeWire's pw-play, PulseAudio's paplay, ALSA's aplay). Each takes the
// file as its only argument and is started through StartProgram.

#include <filesystem>
#include <string>
#include <vector>

namespace qgm {

std::vector<std::string> SoundPlayers();

// The desktop's sound for an event of the sound naming specification
// ("message-new-email"), or empty when it has none.
std::filesystem::path DesktopEventSound(const std::string& event);

}  // namespace qgm
