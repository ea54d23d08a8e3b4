#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/debug/DebugLog.h"
#include "core/platform/FileIo.h"
#include "core/sound/SoundPlayer.h"
#include "core/sound/Waves.h"
#include "support/TempFolder.h"

namespace qgm {
namespace {

uint32_t Le(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + i]);
  return v;
}

TEST(Waves, AreWellFormedAudiblePcm) {
  for (const std::string& wave : {CuckooWave(), RingWave()}) {
    ASSERT_GT(wave.size(), 44u);
    EXPECT_EQ(wave.substr(0, 4), "RIFF");
    EXPECT_EQ(Le(wave, 4, 4), wave.size() - 8);
    EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(wave, 20, 2), 1u);   // PCM
    EXPECT_EQ(Le(wave, 22, 2), 1u);   // mono
    EXPECT_EQ(Le(wave, 34, 2), 16u);  // bits
    EXPECT_EQ(wave.substr(36, 4), "data");
    EXPECT_EQ(Le(wave, 40, 4), wave.size() - 44);
    const double seconds = (wave.size() - 44) / 2.0 / Le(wave, 24, 4);
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 3.0);
    int loudest = 0;
    for (size_t i = 44; i + 1 < wave.size(); i += 2)
      loudest = std::max(loudest, std::abs(static_cast<int16_t>(Le(wave, i, 2))));
    EXPECT_GT(loudest, 8000);  // audible, and not clipped
    EXPECT_LT(loudest, 32767);
  }
}

class SoundPlayerTest : public test::TempFolderTest {};

TEST_F(SoundPlayerTest, WritesTheSoundOnceAndHandsItToTheFirstPlayerFound) {
  const auto played = dir_ / "played.txt";
  const auto player = dir_ / "player.sh";
  ASSERT_TRUE(
      WriteFileAtomic(player, "#!/bin/sh\necho \"$1\" >> '" + played.string() + "'\n", 0700));
  TSoundPlayer sound(dir_ / "Sounds", {"no-such-player-here", player.string()});
  EXPECT_EQ(sound.Player(), player.string());
  ASSERT_TRUE(sound.Play("cuckoo", CuckooWave()));
  EXPECT_EQ(ReadWholeFile(dir_ / "Sounds" / "cuckoo.wav"), CuckooWave());
  // The shell creates the file before it writes the line: wait for the line.
  auto line = [&] { return ReadWholeFile(played).value_or(""); };
  for (int i = 0; i < 250 && (line().empty() || line().back() != '\n'); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ReadWholeFile(played), (dir_ / "Sounds" / "cuckoo.wav").string() + "\n");

  // A player that fails (no sound server, no sound card) hands the sound
  // to the next, its complaint in the debug log and not on the terminal,
  // and is passed over from then on.
  const auto failing = dir_ / "failing.sh";
  ASSERT_TRUE(WriteFileAtomic(failing, "#!/bin/sh\necho 'no sound server' >&2\nexit 1\n", 0700));
  std::filesystem::remove(played);
  TSoundPlayer fallback(dir_ / "Sounds", {failing.string(), player.string()});
  TDebugLog log(dir_ / "Debug.txt");
  log.SetEnabled(true);
  fallback.SetLog(log);
  ASSERT_TRUE(fallback.Play("cuckoo", CuckooWave()));
  for (int i = 0; i < 250 && (line().empty() || line().back() != '\n'); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ReadWholeFile(played), (dir_ / "Sounds" / "cuckoo.wav").string() + "\n");
  const std::string logged = ReadWholeFile(dir_ / "Debug.txt").value_or("");
  EXPECT_NE(logged.find("failing.sh failed (1): no sound server"), std::string::npos) << logged;
  EXPECT_EQ(fallback.Player(), player.string());

  TSoundPlayer silent(dir_ / "Sounds", {"no-such-player-here"});
  EXPECT_EQ(silent.Player(), "");
  EXPECT_FALSE(silent.Play("ring", RingWave()));
}

}  // namespace
}  // namespace qgm
