#include "core/platform/Associations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/platform/Autostart.h"
#include "core/platform/HiveFile.h"
#include "core/platform/Launcher.h"
#include "core/util/FileIo.h"

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

TEST(Associations, DesktopExecLines) {
  EXPECT_EQ(SplitExecLine("firefox %u"), (std::vector<std::string>{"firefox"}));
  EXPECT_EQ(SplitExecLine("\"/opt/My App/run\" --new %F"),
            (std::vector<std::string>{"/opt/My App/run", "--new"}));
  EXPECT_EQ(SplitExecLine("vlc --started-from-file %U"),
            (std::vector<std::string>{"vlc", "--started-from-file"}));
  for (const char* path : {"/usr/bin/qgm", "/home/me/My Apps/qgm", "/a/100%/q$\\x"}) {
    EXPECT_EQ(SplitExecLine(TAutostart::ExecValue(path)), (std::vector<std::string>{path})) << path;
  }
}

class XdgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("qgm-xdg-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    dirs_.ConfigHome = root_ / "config";
    dirs_.DataHome = root_ / "data";
    dirs_.DataDirs = {root_ / "share"};
    Write(root_ / "share/mime/globs2",
          "# comment\n50:text/html:*.htm\n50:text/plain:*.txt\n60:audio/x-scpls:*.pls\n");
    Write(root_ / "config/mimeapps.list",
          "[Added Associations]\ntext/html=wrong.desktop;\n[Default Applications]\n"
          "text/html=missing.desktop;browser.desktop;\n");
    Write(
        root_ / "share/applications/browser.desktop",
        "[Desktop Entry]\nName=Browser\nExec=\"" + (root_ / "bin/my browser").string() + "\" %u\n");
    Write(root_ / "share/applications/mimeinfo.cache",
          "[MIME Cache]\naudio/x-scpls=player.desktop;\n");
    Write(root_ / "share/applications/player.desktop",
          "[Desktop Entry]\nExec=player --enqueue %F\n");
  }
  void TearDown() override { fs::remove_all(root_); }
  static void Write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    ASSERT_TRUE(WriteFileAtomic(p, text));
  }
  fs::path root_;
  TXdgDirs dirs_;
};

TEST_F(XdgTest, DefaultApplicationOfAType) {
  TRegistryStore empty;
  EXPECT_EQ(MimeTypeOfExtension(".HTM", dirs_), "text/html");
  EXPECT_EQ(FindAssociatedExe(empty, ".htm", dirs_), (root_ / "bin/my browser").string());
  EXPECT_EQ(FindAssociatedExe(empty, ".pls", dirs_), "player");  // from the MIME cache
  EXPECT_EQ(FindAssociatedExe(empty, ".qgmnothing", dirs_), "");
  // The registry's answer comes first.
  TRegistryStore store;
  LoadHive(store,
           "[HKEY_CLASSES_ROOT\\.htm]\r\n@=\"h\"\r\n[HKEY_CLASSES_ROOT\\h\\shell\\open\\command]"
           "\r\n@=\"reg.exe %1\"\r\n");
  EXPECT_EQ(FindAssociatedExe(store, ".htm", dirs_), "reg.exe");
}

TEST_F(XdgTest, OpenFileFallsBackToTheTextEditor) {
  // The default action fails ("false"); no program for ".qgmx"; the text
  // editor for ".txt" is a script that records what it was given.
  const fs::path log = root_ / "editor.log";
  const fs::path editor = root_ / "bin" / "editor";
  Write(editor, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + log.string() + "'\n");
  ::chmod(editor.c_str(), 0755);
  Write(root_ / "config/mimeapps.list", "[Default Applications]\ntext/plain=editor.desktop;\n");
  Write(root_ / "share/applications/editor.desktop",
        "[Desktop Entry]\nExec=" + editor.string() + " %f\n");
  TRegistryStore store;
  TLauncher launcher(store, dirs_, "false");
  EXPECT_TRUE(launcher.OpenFile("-odd name.qgmx"));
  // The editor runs on its own; wait until it has written its line.
  for (int i = 0; i < 200 && ReadWholeFile(log).value_or("").find('\n') == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(ReadWholeFile(log).value_or(""), "./-odd name.qgmx\n");
}

TEST(Launcher, OnlyWebAddressesAreOpened) {
  EXPECT_TRUE(TLauncher::IsWebAddress("https://www.corvalink.example/status"));
  EXPECT_TRUE(TLauncher::IsWebAddress("HTTP://example.com"));
  EXPECT_FALSE(TLauncher::IsWebAddress("file:///etc/passwd"));
  EXPECT_FALSE(TLauncher::IsWebAddress("javascript:alert(1)"));
  EXPECT_FALSE(TLauncher::IsWebAddress("http://"));
  EXPECT_FALSE(TLauncher::IsWebAddress("https://a\nb"));
  TRegistryStore store;
  TLauncher launcher(store, TXdgDirs{}, "true");
  EXPECT_FALSE(launcher.OpenUrl("-x"));
  EXPECT_FALSE(launcher.OpenUrl(""));
  EXPECT_TRUE(launcher.OpenUrl("https://example.com"));
  EXPECT_FALSE(StartProgram({"/nonexistent/program"}));
  EXPECT_FALSE(StartProgram({"false"}, 2000));
  EXPECT_TRUE(StartProgram({"true"}, 2000));
}

}  // namespace
}  // namespace qgm
