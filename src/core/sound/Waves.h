#pragma once
// The program's own alert sounds, made as 16-bit mono PCM WAV files: the
// "cuckoo" of an alerting notice and the "ring" of new voicemail.

#include <string>

namespace qgm {

std::string CuckooWave();
std::string RingWave();

}  // namespace qgm
