// The Linux platform set: the XDG MIME lookup behind the desktop's file
// associations, desktop-entry command lines, and starting programs.
#include "core/platform/linux/XdgDirs.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <optional>
#include <thread>

#include "core/platform/Autostart.h"
#include "core/platform/FileIo.h"
#include "core/platform/Folders.h"
#include "core/platform/Launcher.h"
#include "core/platform/Programs.h"
#include "core/platform/Registry.h"

namespace qgm {
namespace {

namespace fs = std::filesystem;

TEST(Autostart, ExecQuoting) {
  EXPECT_EQ(DesktopExecValue("/usr/bin/qgm"), "/usr/bin/qgm");
  EXPECT_EQ(DesktopExecValue("/home/me/My Apps/qgm"), "\"/home/me/My Apps/qgm\"");
  EXPECT_EQ(DesktopExecValue("/a/100%/q$"), "\"/a/100%%/q\\\\$\"");
}

TEST(XdgEntries, ExecLinesAndAutostartQuoting) {
  EXPECT_EQ(SplitExecLine("firefox %u"), (std::vector<std::string>{"firefox"}));
  EXPECT_EQ(SplitExecLine("\"/opt/My App/run\" --new %F"),
            (std::vector<std::string>{"/opt/My App/run", "--new"}));
  EXPECT_EQ(SplitExecLine("vlc --started-from-file %U"),
            (std::vector<std::string>{"vlc", "--started-from-file"}));
  for (const char* path : {"/usr/bin/qgm", "/home/me/My Apps/qgm", "/a/100%/q$\\x"}) {
    EXPECT_EQ(SplitExecLine(DesktopExecValue(path)), (std::vector<std::string>{path})) << path;
  }
}

// The home folder: HOME, else the password database; never a guess.
TEST(HomeFolder, FromHomeElseThePasswordDatabase) {
  int asked = 0;
  const auto database = [&asked] {
    ++asked;
    return std::string("/home/pw");
  };
  EXPECT_EQ(HomeFolderFrom("/home/me", database), "/home/me");
  EXPECT_EQ(asked, 0);
  for (const char* home : {static_cast<const char*>(nullptr), "", "relative/home"})
    EXPECT_EQ(HomeFolderFrom(home, database), "/home/pw") << (home ? home : "unset");
  // A database without this user (or with no usable folder for it).
  for (const char* entry : {"", "nowhere"})
    EXPECT_EQ(HomeFolderFrom(nullptr, [entry] { return std::string(entry); }), fs::path()) << entry;

  const auto home = [] { return fs::path("/home/pw"); };
  const auto none = [] { return fs::path(); };
  EXPECT_EQ(XdgBaseFolder("/x/conf", none, ".config"), "/x/conf");
  EXPECT_EQ(XdgBaseFolder(nullptr, home, ".config"), "/home/pw/.config");
  EXPECT_EQ(XdgBaseFolder("relative", home, ".local/share"), "/home/pw/.local/share");
  EXPECT_EQ(XdgBaseFolder(nullptr, none, ".config"), fs::path());
  EXPECT_EQ(XdgBaseFolder("", none, ".config"), fs::path());
}

// An environment variable set for one test, and put back after it.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvVar() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// With neither HOME nor the XDG variables set the folders are the home
// folder the password database names, and no hive is ever taken from (or
// put in) the shared temporary folder, even one planted there.
TEST(HomeFolder, WithTheVariablesUnsetNothingLandsInTheTemporaryFolder) {
  const fs::path tmp = fs::temp_directory_path() / ("qgm-nohome-" + std::to_string(::getpid()));
  fs::remove_all(tmp);
  fs::create_directories(tmp / "Corvalink");
  ASSERT_TRUE(WriteFileAtomic(tmp / "Corvalink" / "registry.reg",
                              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\"
                              "QuotaGaugeData]\r\n\"RadioPlayer\"=\"/tmp/planted\"\r\n"));
  const passwd* entry = ::getpwuid(::getuid());
  ASSERT_TRUE(entry && entry->pw_dir && entry->pw_dir[0] == '/');
  const fs::path home = entry->pw_dir;
  {
    EnvVar unsetHome("HOME", nullptr), unsetConfig("XDG_CONFIG_HOME", nullptr),
        unsetData("XDG_DATA_HOME", nullptr), privateTmp("TMPDIR", tmp.c_str());
    const TFolders folders = UserFolders();
    EXPECT_EQ(folders.Config, home / ".config" / "Corvalink");
    EXPECT_EQ(folders.Data, home / ".local" / "share" / "Corvalink");
    // No settings folder at all: a hive in memory only.
    EXPECT_EQ(HiveFileIn({}), fs::path());
    TRegistryStore store(HiveFileIn({}));
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Corvalink\\QuotaGaugeData\\", true));
    EXPECT_FALSE(reg.ValueExists("RadioPlayer"));
    reg.WriteString("RadioPlayer", "mine");
    EXPECT_TRUE(store.Flush());
  }
  EXPECT_EQ(ReadWholeFile(tmp / "Corvalink" / "registry.reg").value_or("").find("mine"),
            std::string::npos);
  fs::remove_all(tmp);
}

// A folder the user names: what it makes is private, what was there keeps
// its mode (the program's own folders are made private either way).
TEST(Folders, ANamedFolderKeepsTheModeItHad) {
  const fs::path root = fs::temp_directory_path() / ("qgm-named-" + std::to_string(::getpid()));
  fs::remove_all(root);
  const auto mode = [](const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0u;
  };
  const fs::path shared = root / "shared";
  fs::create_directories(shared);
  ::chmod(shared.c_str(), 0755);
  ::chmod(root.c_str(), 0755);
  EXPECT_TRUE(MakeNamedFolder(shared));
  EXPECT_EQ(mode(shared), 0755u);
  EXPECT_TRUE(MakeNamedFolder(shared / "new" / "deeper"));
  EXPECT_EQ(mode(shared), 0755u);
  EXPECT_EQ(mode(shared / "new"), 0700u);
  EXPECT_EQ(mode(shared / "new" / "deeper"), 0700u);
  EXPECT_FALSE(MakeNamedFolder("/proc/qgm/no/such"));
  EXPECT_TRUE(MakePrivateFolder(shared));
  EXPECT_EQ(mode(shared), 0700u);
  fs::remove_all(root);
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
  EXPECT_EQ(MimeTypeOfExtension(".HTM", dirs_), "text/html");
  EXPECT_EQ(DefaultApplicationProgram(".htm", dirs_), (root_ / "bin/my browser").string());
  EXPECT_EQ(DefaultApplicationProgram(".pls", dirs_), "player");  // from the MIME cache
  EXPECT_EQ(DefaultApplicationProgram(".qgmnothing", dirs_), "");
}

TEST_F(XdgTest, ThemeSoundsFallBackByNameAndTheme) {
  EXPECT_EQ(ThemeSound("message-new-email", "freedesktop", dirs_), fs::path());
  Write(root_ / "share/sounds/freedesktop/stereo/message.oga", "x");
  EXPECT_EQ(ThemeSound("message-new-email", "ocean", dirs_),
            root_ / "share/sounds/freedesktop/stereo/message.oga");
  // The user's own theme and the more specific name come first.
  Write(root_ / "data/sounds/ocean/stereo/message-new-email.wav", "x");
  EXPECT_EQ(ThemeSound("message-new-email", "ocean", dirs_),
            root_ / "data/sounds/ocean/stereo/message-new-email.wav");
  EXPECT_EQ(ThemeSound("bell", "ocean", dirs_), fs::path());
}

TEST_F(XdgTest, AudioApplicationsFromTheirDesktopEntries) {
  Write(
      root_ / "share/applications/vlc.desktop",
      "[Desktop Entry]\nName=VLC media player\nExec=/usr/bin/vlc --started-from-file %U\nIcon=vlc\n"
      "MimeType=video/mp4;audio/mpeg;audio/x-scpls;\n");
  Write(root_ / "share/applications/hidden.desktop",
        "[Desktop Entry]\nName=Hidden\nExec=hidden %u\nNoDisplay=true\nMimeType=audio/mpeg;\n");
  Write(root_ / "data/applications/vlc.desktop",
        "[Desktop Entry]\nName=My VLC\nExec=vlc %U\nMimeType=audio/ogg;\n");
  const auto apps = AudioApplications(dirs_);
  // The user's VLC hides the system's; "player" lists no type in its entry.
  ASSERT_EQ(apps.size(), 1u);
  EXPECT_EQ(apps[0].Name, "My VLC");
  EXPECT_EQ(apps[0].Program, "vlc");
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
        // A wrapper in front of the program: the whole line is the command.
        "[Desktop Entry]\nExec=env QGM_WRAPPED=1 " + editor.string() + " %f\n");
  TRegistryStore store;
  TLaunchCalls calls;
  // The desktop's action starts, then fails: the associated program opens it.
  calls.OpenWithDesktop = [](const std::string&, std::function<void()> onFailure) {
    onFailure();
    return true;
  };
  calls.CommandFor = [this](const std::string& ext, const std::string& target) {
    return DefaultApplicationArguments(ext, target, dirs_);
  };
  TLauncher launcher(store, calls);
  EXPECT_TRUE(launcher.OpenFile("-odd name.qgmx"));
  // The editor runs on its own; wait until it has written its line.
  for (int i = 0; i < 200 && ReadWholeFile(log).value_or("").find('\n') == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(ReadWholeFile(log).value_or(""), "./-odd name.qgmx\n");
}

TEST(XdgEntries, ExecLinesOpenTheTargetAsAnArgument) {
  const std::string file = "/home/me/My Files/usage.csv";
  using Args = std::vector<std::string>;
  // Wrappers stay in front; the file is one argument wherever %f stands.
  EXPECT_EQ(ExecArguments("env VAR=x app %f", file), (Args{"env", "VAR=x", "app", file}));
  EXPECT_EQ(ExecArguments("viewer --file=%f --title %c", file),
            (Args{"viewer", "--file=" + file, "--title"}));
  // A shell entry gets the file as an argument of its script, never as the
  // script itself.
  EXPECT_EQ(ExecArguments("sh -c \"exec viewer \\\"\\$0\\\"\" %f", file),
            (Args{"sh", "-c", "exec viewer \"$0\"", file}));
  // Once only, %% a percent sign, and at the end when no code asks for it.
  EXPECT_EQ(ExecArguments("app %F %U", file), (Args{"app", file}));
  EXPECT_EQ(ExecArguments("app --scale=100%% %u", file), (Args{"app", "--scale=100%", file}));
  EXPECT_EQ(ExecArguments("player", file), (Args{"player", file}));
  EXPECT_TRUE(ExecArguments("", file).empty());
}

TEST(Programs, OpeningDoesNotWaitForTheDesktopsOpener) {
  // An opener that runs until the test lets it go, then fails: the call
  // returns while it runs, and the failure is reported afterwards.
  const fs::path dir = fs::temp_directory_path() / ("qgm-opener-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path release = dir / "release";
  ASSERT_TRUE(WriteFileAtomic(
      dir / "xdg-open",
      "#!/bin/sh\nwhile [ ! -e '" + release.string() + "' ]; do sleep 0.05; done\nexit 1\n", 0755));
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  setenv("PATH", (dir.string() + ":" + path).c_str(), 1);
  std::promise<void> failed;
  const bool started = OpenWithDesktop("https://example.com/", [&failed] { failed.set_value(); });
  setenv("PATH", path.c_str(), 1);
  EXPECT_TRUE(started);
  ASSERT_TRUE(WriteFileAtomic(release, ""));  // only now can the opener end
  EXPECT_EQ(failed.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
  fs::remove_all(dir);
}

TEST(Programs, StartAndFailure) {
  EXPECT_FALSE(StartProgram({"/nonexistent/program"}));
  EXPECT_FALSE(StartProgram({"false"}, 2000));
  EXPECT_TRUE(StartProgram({"true"}, 2000));
  EXPECT_TRUE(ProgramExists("sh"));
  EXPECT_FALSE(ProgramExists("qgm-no-such-program"));
}

}  // namespace
}  // namespace qgm
