#pragma once
// The programs that play a WAV file on this desktop, best first (Linux:
// PipeWire's pw-play, PulseAudio's paplay, ALSA's aplay). Each takes the
// file as its only argument and is started through StartProgram.

#include <string>
#include <vector>

namespace qgm {

std::vector<std::string> SoundPlayers();

}  // namespace qgm
