#include "core/platform/Associations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/platform/Autostart.h"
#include "core/platform/FileIo.h"
#include "core/platform/HiveFile.h"
#include "core/platform/Launcher.h"

namespace qgm {
namespace {

namespace fs = std::filesystem;

void LoadHive(TRegistryStore& store, const std::string& body) {
  std::string error;
  ASSERT_TRUE(THiveFile::Parse("REGEDIT4\r\n\r\n" + body, store, error)) << error;
}

TEST(Associations, PerUserApplicationBeatsTheClassesRoot) {
  TRegistryStore store;
  LoadHive(
      store,
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.pls]"
      "\r\n"
      "\"Application\"=\"winamp.exe\"\r\n"
      "[HKEY_CURRENT_USER\\Software\\Classes\\Applications\\winamp.exe\\shell\\open\\command]\r\n"
      "@=\"\\\"C:\\\\Program Files\\\\Winamp\\\\winamp.exe\\\" \\\"%1\\\"\"\r\n"
      "[HKEY_CLASSES_ROOT\\.pls]\r\n@=\"pls_auto_file\"\r\n"
      "[HKEY_CLASSES_ROOT\\pls_auto_file\\shell\\open\\command]\r\n@=\"other.exe %1\"\r\n");
  EXPECT_EQ(FindAssociatedCommand(store, ".pls"),
            "\"C:\\Program Files\\Winamp\\winamp.exe\" \"%1\"");
  EXPECT_EQ(CommandProgram(FindAssociatedCommand(store, ".pls")),
            "C:\\Program Files\\Winamp\\winamp.exe");
}

TEST(Associations, ProgIdsVerbsAndPerceivedTypes) {
  TRegistryStore store;
  LoadHive(store,
           "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\."
           "htm]\r\n"
           "\"ProgId\"=\"FirefoxHTML\"\r\n"
           "[HKEY_CLASSES_ROOT\\FirefoxHTML\\shell]\r\n@=\"view\"\r\n"
           "[HKEY_CLASSES_ROOT\\FirefoxHTML\\shell\\view\\command]\r\n@=\"%QGM_TEST_DIR%"
           "\\\\firefox.exe -url %1\"\r\n"
           "[HKEY_CURRENT_USER\\Software\\Classes\\.csv]\r\n@=\"Excel.CSV\"\r\n"
           "[HKEY_CURRENT_USER\\Software\\Classes\\Excel.CSV\\shell\\open\\command]\r\n@=\"excel."
           "exe \\\"%1\\\"\"\r\n"
           "[HKEY_CLASSES_ROOT\\.log]\r\n\"PerceivedType\"=\"text\"\r\n"
           "[HKEY_CLASSES_ROOT\\SystemFileAssociations\\text\\shell\\open\\command]\r\n@=\"notepad."
           "exe %1\"\r\n");
  setenv("QGM_TEST_DIR", "C:\\Apps", 1);
  EXPECT_EQ(FindAssociatedCommand(store, ".htm"), "C:\\Apps\\firefox.exe -url %1");
  EXPECT_EQ(FindAssociatedCommand(store, ".csv"), "excel.exe \"%1\"");
  EXPECT_EQ(FindAssociatedCommand(store, ".log"), "notepad.exe %1");
  EXPECT_EQ(FindAssociatedCommand(store, ".xyz"), "");
  unsetenv("QGM_TEST_DIR");
}

TEST(Associations, CommandProgram) {
  EXPECT_EQ(CommandProgram("C:\\Program Files\\Player\\play.EXE /x"),
            "C:\\Program Files\\Player\\play.EXE");
  EXPECT_EQ(CommandProgram("\"C:\\a b\\p.exe\" \"%1\""), "C:\\a b\\p.exe");
  EXPECT_EQ(CommandProgram("\"unclosed"), "unclosed");
  EXPECT_EQ(CommandProgram("x.exe -a"), "x.exe");
  EXPECT_EQ(CommandProgram("firefox %u"), "firefox");
  EXPECT_EQ(CommandProgram(""), "");
}

TEST(Associations, ExpandEnvStrings) {
  setenv("QGM_A", "alpha", 1);
  unsetenv("QGM_NOPE");
  EXPECT_EQ(ExpandEnvStrings("%QGM_A%\\x"), "alpha\\x");
  EXPECT_EQ(ExpandEnvStrings("%QGM_NOPE%\\%QGM_A%"), "%QGM_NOPE%\\alpha");
  EXPECT_EQ(ExpandEnvStrings("100% sure"), "100% sure");
  setenv("QGM_A", std::string(300, 'x').c_str(), 1);
  EXPECT_EQ(ExpandEnvStrings("%QGM_A%"), "%QGM_A%");  // too long: unchanged
  unsetenv("QGM_A");
}

TEST(Launcher, OnlyWebAddressesAreOpened) {
  EXPECT_TRUE(TLauncher::IsWebAddress("https://www.corvalink.example/status"));
  EXPECT_TRUE(TLauncher::IsWebAddress("HTTP://example.com"));
  EXPECT_FALSE(TLauncher::IsWebAddress("file:///etc/passwd"));
  EXPECT_FALSE(TLauncher::IsWebAddress("javascript:alert(1)"));
  EXPECT_FALSE(TLauncher::IsWebAddress("http://"));
  EXPECT_FALSE(TLauncher::IsWebAddress("https://a\nb"));
  TRegistryStore store;
  std::vector<std::string> opened;
  TLaunchCalls calls;
  calls.OpenWithDesktop = [&opened](const std::string& t, std::function<void()>) {
    opened.push_back(t);
    return true;
  };
  TLauncher launcher(store, calls);
  EXPECT_FALSE(launcher.OpenUrl("-x"));
  EXPECT_FALSE(launcher.OpenUrl(""));
  EXPECT_TRUE(launcher.OpenUrl("https://example.com"));
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.com"}));
}

TEST(Launcher, StreamsPlayWithThePlayerOrTheDesktopsPlaylistProgram) {
  TRegistryStore store;
  std::vector<std::vector<std::string>> started;
  std::vector<std::string> asked;
  TLaunchCalls calls;
  calls.Start = [&](const std::vector<std::string>& argv) {
    started.push_back(argv);
    return true;
  };
  std::string playlistProgram;
  calls.CommandFor = [&](const std::string& ext, const std::string& target) {
    asked.push_back(ext);
    if (ext == ".pls" && !playlistProgram.empty())
      return std::vector<std::string>{playlistProgram, "--one", target};
    if (ext == ".mp3") return std::vector<std::string>{"mp3player", target};
    return std::vector<std::string>{};
  };
  TLauncher launcher(store, calls);
  // Spaces and shell characters stay inside the one argument.
  const std::string odd = "http://radio.example/a b;$(rm -rf ~)&x='1'";
  EXPECT_TRUE(launcher.PlayStream("/opt/My Player/play", odd));
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{"/opt/My Player/play", odd}));
  // No player: the playlist program, else the MP3 one.
  EXPECT_TRUE(launcher.PlayStream("", "http://x/a.pls"));
  EXPECT_EQ(started.back(), (std::vector<std::string>{"mp3player", "http://x/a.pls"}));
  playlistProgram = "plsplayer";
  EXPECT_TRUE(launcher.PlayStream("", "http://x/a.pls"));
  EXPECT_EQ(started.back(), (std::vector<std::string>{"plsplayer", "--one", "http://x/a.pls"}));
  // An address without a scheme is played as http; only web addresses are
  // handed on.
  EXPECT_TRUE(launcher.PlayStream("player", "host:8000/x"));
  EXPECT_EQ(started.back(), (std::vector<std::string>{"player", "http://host:8000/x"}));
  EXPECT_FALSE(launcher.PlayStream("player", "file:///etc/passwd"));
  EXPECT_FALSE(launcher.PlayStream("player", "javascript:alert(1)"));
  EXPECT_FALSE(launcher.PlayStream("", "file:/etc/passwd"));
  EXPECT_FALSE(launcher.PlayStream("player", "--help"));
  EXPECT_EQ(started.size(), 4u);
}

// What a channel's address is played from: web addresses as they are, a
// host without a scheme as http, and nothing for any other scheme.
TEST(Launcher, StreamAddressesAreWebAddressesOrHostsWithoutAScheme) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://radio.example/a.pls", "http://radio.example/a.pls"},
      {"HTTPS://radio.example:8443/", "HTTPS://radio.example:8443/"},
      {"host:8000/x", "http://host:8000/x"},
      {"localhost:8000", "http://localhost:8000"},
      {"radio.example/live?x=1", "http://radio.example/live?x=1"},
      {"192.168.1.5:8000/stream", "http://192.168.1.5:8000/stream"},
      {"[::1]:8000/x", "http://[::1]:8000/x"},
      {"host:8000?x", "http://host:8000?x"},
      {"file:///etc/passwd", ""},
      {"file:/etc/passwd", ""},
      {"FILE:x", ""},
      {"javascript:alert(1)", ""},
      {"mailto:a@b", ""},
      {"ftp://mirror.example/a.mp3", ""},
      {"mms://radio.example/a", ""},
      {"data:text/plain,hello", ""},
      {"vlc+http://x", ""},
      {"C:\\music\\a.mp3", ""},
      {"host:8000x", ""},
      {"host:", ""},
      {"--help", ""},
      {"/etc/passwd", ""},
      {"//host/x", ""},
      {"host/a\nb", ""},
      {"http://", ""},
      {"", ""},
  };
  for (const auto& [address, expected] : cases)
    EXPECT_EQ(TLauncher::StreamAddress(address), expected) << address;
}

TEST(Launcher, TheRegistrysProgramWhenTheDesktopCannotOpen) {
  TRegistryStore store;
  LoadHive(store,
           "[HKEY_CLASSES_ROOT\\.htm]\r\n@=\"h\"\r\n[HKEY_CLASSES_ROOT\\h\\shell\\open\\command]"
           "\r\n@=\"reg.exe %1\"\r\n");
  std::vector<std::vector<std::string>> started;
  TLaunchCalls calls;
  calls.OpenWithDesktop = [](const std::string&, std::function<void()>) { return false; };
  calls.Start = [&started](const std::vector<std::string>& argv) {
    started.push_back(argv);
    return true;
  };
  TLauncher launcher(store, calls);
  EXPECT_TRUE(launcher.OpenUrl("http://example.com/a b"));
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{"reg.exe", "http://example.com/a b"}));
  EXPECT_TRUE(launcher.HasAssociation(".htm"));
  EXPECT_EQ(FindAssociatedExe(store, ".htm"), "reg.exe");  // the registry's answer comes first
}

}  // namespace
}  // namespace qgm
