#include "core/sound/Waves.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace qgm {
namespace {

constexpr int kRate = 22050;

struct TNote {
  double Hz;  // 0: silence
  double Seconds;
};

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Each note with a short attack and an exponential fall, with a little of
// its octave for a rounder sound.
std::string Render(const std::vector<TNote>& notes) {
  std::vector<int16_t> samples;
  for (const TNote& n : notes) {
    const int count = static_cast<int>(n.Seconds * kRate);
    for (int i = 0; i < count; ++i) {
      const double t = static_cast<double>(i) / kRate;
      double v = 0;
      if (n.Hz > 0) {
        const double envelope = std::min(1.0, t / 0.01) * std::exp(-t * 6.0);
        const double w = 2 * std::numbers::pi * n.Hz * t;
        v = envelope * (0.8 * std::sin(w) + 0.2 * std::sin(2 * w));
      }
      samples.push_back(static_cast<int16_t>(std::lround(v * 0.6 * 32767)));
    }
  }
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  PutLe(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);  // format chunk size
  PutLe(out, 1, 2);   // PCM
  PutLe(out, 1, 2);   // mono
  PutLe(out, kRate, 4);
  PutLe(out, kRate * 2, 4);  // bytes per second
  PutLe(out, 2, 2);          // block align
  PutLe(out, 16, 2);         // bits per sample
  out += "data";
  PutLe(out, dataBytes, 4);
  for (int16_t s : samples) PutLe(out, static_cast<uint16_t>(s), 2);
  return out;
}

}  // namespace

std::string CuckooWave() {
  // Two calls of a falling major third.
  return Render({{659.3, 0.28}, {523.3, 0.45}, {0, 0.15}, {659.3, 0.28}, {523.3, 0.5}});
}

std::string RingWave() {
  // A telephone's double ring, twice.
  std::vector<TNote> notes;
  for (int ring = 0; ring < 2; ++ring) {
    for (int burst = 0; burst < 2; ++burst) {
      for (int k = 0; k < 8; ++k) {
        notes.push_back({k % 2 ? 440.0 : 480.0, 0.025});
      }
      notes.push_back({0, 0.2});
    }
    notes.push_back({0, 0.4});
  }
  return Render(notes);
}

}  // namespace qgm
