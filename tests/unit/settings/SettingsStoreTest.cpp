#include "core/settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <map>

#include <filesystem>

#include "core/platform/FileIo.h"
#include "core/platform/HiveFile.h"
#include "core/settings/Passwords.h"
#include "support/TempFolder.h"

namespace qgm {
namespace {

namespace fs = std::filesystem;

// Radio channels as (caption, address) pairs, to compare.
using Channels = std::vector<std::pair<std::string, std::string>>;
Channels Pairs(const std::vector<TRadioChannel>& channels) {
  Channels pairs;
  for (const auto& c : channels) pairs.emplace_back(c.Name, c.Address);
  return pairs;
}

class SettingsTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    hive_ = dir_ / "config" / "Corvalink" / "registry.reg";
    context_.WindowWidth = 300;
    context_.WindowHeight = 200;
    context_.WorkArea = [](const TRect&) { return TRect{0, 0, 1920, 1050}; };
    context_.Now = EncodeDate(2014, 6, 1) + EncodeTime(9, 5, 0);
  }
  // One program run: load, let `change` edit the model, save.
  TSettings Run(const std::function<void(TSettings&, TSettingsStore&)>& change = {}) {
    TRegistryStore registry(hive_);
    TSettingsStore store(registry, autostart_, log_, "/opt/qgm/bin/qgm", secrets_);
    TSettings s;
    store.LoadSettings(s, context_);
    store.LoadMailboxes(s);
    store.LoadRadioList(s);
    if (change) change(s, store);
    store.SaveSettings(s);
    return s;
  }
  void WriteHive(const std::string& body) {
    fs::create_directories(hive_.parent_path());
    ASSERT_TRUE(WriteFileAtomic(
        hive_,
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n" + body));
  }
  TRegistryStore Reload() { return TRegistryStore(hive_); }

  fs::path hive_;
  ISecretStore* secrets_ = nullptr;  // no keyring unless a test gives one
  TAutostart autostart_{fs::temp_directory_path() /
                        ("qgm-autostart-" + std::to_string(::getpid()))};
  TDebugLog log_;
  TStartupContext context_;
};

TEST(Passwords, ByteSubstitution) {
  EXPECT_EQ(ScramblePassword("abc"), "\x6E\x6F\x70");
  EXPECT_EQ(UnscramblePassword("\x6E\x6F\x70"), "abc");
  EXPECT_EQ(ScramblePassword("\xF5"), "\x03");
  EXPECT_EQ(UnscramblePassword("\x03"), "\xF5");
  // Every byte a password can hold (not NUL) comes back.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(UnscramblePassword(ScramblePassword(all)), all);
}

TEST(CommandLine, Forms) {
  EXPECT_TRUE(ParseCommandLine({"-LOGGING"}).Logging);
  EXPECT_TRUE(ParseCommandLine({"/logging"}).Logging);
  EXPECT_FALSE(ParseCommandLine({"-log"}).Logging);
  const TCommandLine c = ParseCommandLine({"john@adsl", "pw"});
  EXPECT_TRUE(c.HasCredentials);
  EXPECT_EQ(c.Account, "john@adsl");
  EXPECT_FALSE(ParseCommandLine({"a", "b", "c"}).HasCredentials);
  EXPECT_FALSE(ParseCommandLine({}).Logging);
}

TEST(MessageReferences, QuotingRoundTrip) {
  const std::vector<std::string> refs = {"plain", "with,comma", "say \"hi\"", ""};
  const std::string text = FormatMessageReferences(refs);
  EXPECT_EQ(text, "plain,\"with,comma\",\"say \"\"hi\"\"\",");
  EXPECT_EQ(ParseMessageReferences(text), refs);
  EXPECT_TRUE(ParseMessageReferences("").empty());
}

TEST(WindowPlacement, DefaultCornerAndClamping) {
  const auto area = [](const TRect&) { return TRect{0, 0, 1920, 1050}; };
  int x = 0, y = 0;
  PlaceWindow(false, x, y, 300, 200, area);
  EXPECT_EQ(x, 1620);
  EXPECT_EQ(y, 850);
  x = 1800, y = -40;
  PlaceWindow(true, x, y, 300, 200, area);
  EXPECT_EQ(x, 1620);
  EXPECT_EQ(y, 0);
  x = -10, y = 2000;
  PlaceWindow(true, x, y, 300, 200, area);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 850);
}

TEST_F(SettingsTest, FirstRun) {
  autostart_.Disable();
  TRegistryStore registry(hive_);
  TSettingsStore store(registry, autostart_, log_, "/opt/qgm/bin/qgm");
  TSettings s;
  store.LoadSettings(s, context_);
  EXPECT_TRUE(s.RunOnStartup);
  EXPECT_EQ(s.AccountType, 0);
  EXPECT_TRUE(s.ShowSetupTab);
  EXPECT_TRUE(s.ShowWindowAtStart);
  EXPECT_EQ(s.FirstUpdateIntervalMs(), 60000);
  EXPECT_TRUE(s.ShowHistoryDownloads);
  EXPECT_TRUE(s.CheckForUpdates);
  EXPECT_EQ(s.CallhavenDate, EncodeDate(2000, 1, 1));
  EXPECT_TRUE(s.LanScaleInAbsent);
  EXPECT_EQ(s.PosX, 1620);
  EXPECT_FALSE(fs::exists(hive_));  // loading writes nothing
  store.SaveSettings(s);
  EXPECT_TRUE(fs::exists(hive_));
  EXPECT_TRUE(autostart_.Exists());
  const auto entry = ReadWholeFile(autostart_.File());
  EXPECT_NE(entry->find("\nExec=/opt/qgm/bin/qgm\n"), std::string::npos);
  autostart_.Disable();
}

TEST_F(SettingsTest, StoredValuesAndDefaults) {
  WriteHive(
      "\"accountType\"=dword:00000007\r\n"  // out of range: Home
      "\"home\"=\"john\"\r\n"
      "\"home2\"=hex:"
      "77,7c,7b\r\n"  // "jon" scrambled
      "\"StartDelay\"=dword:00000000\r\n"
      "\"StartMimimized\"=dword:00000001\r\n"
      "\"ShowHistoryDownloads\"=dword:00000000\r\n"
      "\"TrayFontColor\"=\"not a number\"\r\n"  // wrong type: the default
      "\"CallhavenDate\"=hex:00,00,00,00,c0,d5,e1,40\r\n"
      "\"CallhavenNo1\"=\"0298765432\"\r\n"
      "\"CallhavenVisible\"=dword:00000001\r\n"  // no password: not honoured
      "\"NetworkAdaptor\"=\"ETH0 - Wired\"\r\n"
      "\"b4\"=hex:" +
      std::string(81 * 3 - 1, '0')
          .replace(2, 81 * 3 - 3,
                   [] {
                     std::string s;
                     for (int i = 0; i < 80; ++i) s += ",7d";
                     return s;
                   }()) +
      "\r\n");
  context_.AdapterNames = {"lo", "eth0 - wired"};
  context_.DefaultTrayTextColor = 0xFFFFFF;
  context_.CallFilesExist = true;
  TRegistryStore registry(hive_);
  TSettingsStore store(registry, autostart_, log_, "qgm");
  TSettings s;
  store.LoadSettings(s, context_);
  EXPECT_EQ(s.AccountType, 0);
  EXPECT_EQ(s.AccountName, "john");
  EXPECT_EQ(s.Password, "jon");
  EXPECT_FALSE(s.ShowSetupTab);
  EXPECT_FALSE(s.ShowWindowAtStart);           // started minimised
  EXPECT_EQ(s.FirstUpdateIntervalMs(), 1000);  // a delay of 0 still waits a second
  EXPECT_TRUE(s.ShowHistoryDownloads);         // none ticked: downloads
  EXPECT_EQ(s.TrayFontColor, 0xFFFFFFu);
  EXPECT_EQ(s.CallhavenDate, 36526.0 + 0);  // 1 January 2000 as stored
  EXPECT_FALSE(s.CallhavenVisible);
  EXPECT_EQ(s.SelectedAdapter, 1);
  EXPECT_EQ(s.ProxyPassword, "");  // 81 bytes: longer than the read buffer
}

TEST_F(SettingsTest, StartDelayIsHeldToTheSlidersRange) {
  for (const auto& [stored, loaded] : std::vector<std::pair<std::string, int>>{
           {"000001f4", 180}, {"fffffffb", 0}, {"7fffffff", 180}, {"0000000f", 15}}) {
    WriteHive("\"StartDelay\"=dword:" + stored + "\r\n");
    TRegistryStore registry(hive_);
    TSettingsStore store(registry, autostart_, log_, "qgm");
    TSettings s;
    store.LoadSettings(s, context_);
    EXPECT_EQ(s.StartDelay, loaded) << stored;
  }
}

// The tray's text colour: the desktop's default until the user chooses
// one; a hive from before the choice was recorded holds the default of its
// day (black or white), which follows today's.
TEST_F(SettingsTest, TrayColourIsTheUsersOnlyWhenChosen) {
  struct Case {
    std::string hive;
    bool chosen;
    uint32_t colour;
  };
  context_.DefaultTrayTextColor = 0xFFFFFF;  // a dark desktop
  for (const auto& [hive, chosen, colour] : std::vector<Case>{
           {"", false, 0xFFFFFF},
           {"\"TrayFontColor\"=dword:00000000\r\n", false, 0xFFFFFF},
           {"\"TrayFontColor\"=dword:00ffffff\r\n", false, 0xFFFFFF},
           {"\"TrayFontColor\"=dword:0000ff00\r\n", true, 0x00FF00},
           {"\"TrayFontColor\"=dword:00000000\r\n\"TrayFontColorChosen\"=dword:00000001\r\n",
            true, 0},
           {"\"TrayFontColor\"=dword:0000ff00\r\n\"TrayFontColorChosen\"=dword:00000000\r\n",
            false, 0xFFFFFF},
       }) {
    WriteHive(hive);
    const TSettings s = Run();
    EXPECT_EQ(s.TrayFontColorChosen, chosen) << hive;
    EXPECT_EQ(s.TrayFontColor, colour) << hive;
    // What was saved reads back the same.
    const TSettings again = Run();
    EXPECT_EQ(again.TrayFontColorChosen, chosen) << hive;
    EXPECT_EQ(again.TrayFontColor, colour) << hive;
  }
}

TEST_F(SettingsTest, LegacyAccountNames) {
  WriteHive(
      "\"b1\"=\"jane@roammobile\"\r\n\"b3\"=hex:"
      "77,7c,7b\r\n");
  const TSettings s = Run();
  EXPECT_EQ(s.AccountType, 2);
  EXPECT_EQ(s.AccountName, "jane");
  EXPECT_EQ(s.Password, "jon");
  // The legacy values are never written, and the pair now lives under its type.
  TRegistryStore registry = Reload();
  TRegistry reg(registry);
  reg.OpenKeyReadOnly(kSettingsKey);
  EXPECT_EQ(reg.ReadString("roammobile"), "jane");
  EXPECT_EQ(reg.ReadInteger("accountType"), 2);
  EXPECT_EQ(reg.ReadString("b1"), "jane@roammobile");
}

TEST_F(SettingsTest, SaveLoadRoundTripIsByteIdentical) {
  Run([](TSettings& s, TSettingsStore&) {
    s.AccountName = "john";
    s.Password = "secret";
    s.SeenNoticeRefs = {"R1", "with,comma"};
    s.HashList = {"352441C2", "DB002A1"};
    s.Mailboxes = {{"zed", "pw1", "uidl"}, {"Amy", "pw2", ""}, {"nopassword", "", ""}};
    s.RadioChannels = {{"Jazz", "http://a=b"}, {"", "http://x"}, {"No address", ""}};
    s.ProxyPassword = "proxy";
    s.CallhavenNo1 = "0298765432";
    s.CallhavenNo2 = "callhaven";
    s.CallhavenVisible = true;
  });
  const auto first = ReadWholeFile(hive_);
  const TSettings loaded = Run();
  EXPECT_EQ(ReadWholeFile(hive_), first);
  EXPECT_EQ(loaded.SeenNoticeRefs, (std::vector<std::string>{"R1", "with,comma"}));
  EXPECT_EQ(loaded.HashList, (std::vector<std::string>{"352441C2", "DB002A1"}));
  ASSERT_EQ(loaded.Mailboxes.size(), 2u);
  EXPECT_EQ(loaded.Mailboxes[0].Name, "Amy");
  EXPECT_EQ(loaded.Mailboxes[1].Password, "pw1");
  EXPECT_EQ(loaded.Mailboxes[1].LastUidl, "uidl");
  EXPECT_EQ(Pairs(loaded.RadioChannels), (Channels{{"Jazz", "http://a=b"}, {"", "http://x"}}));
  EXPECT_EQ(loaded.ProxyPassword, "proxy");
  EXPECT_TRUE(loaded.CallhavenVisible);
  EXPECT_FALSE(loaded.LanScaleInAbsent);
  // The stored password bytes are scrambled, never plain.
  EXPECT_EQ(first->find("secret"), std::string::npos);
}

// Every channel with an address comes back in its place, whatever its
// caption: equal ones (in any letter case), a backslash, "=", quotes,
// Windows-1252 text, a line break, or none at all. A caption that can name
// a key of its own still does, as older copies read it.
TEST_F(SettingsTest, RadioChannelsSurviveWhateverTheirCaption) {
  const Channels channels = {
      {"Jazz", "http://a/1"},
      {"Jazz", "http://a/2"},
      {"AC\\DC", "http://a/3"},
      {"a=b", "http://a/4=5"},
      {"\"Quoted\" 'too'", "http://a/\"6\""},
      {"Caf\xE9 \x93Radio\x94", "http://a/\xE9"},
      {"", "http://a/8"},
      {"JAZZ", "http://a/9"},
      {"Jazz (2)", "http://a/10"},
      {"two\r\nlines", "http://a/11"},
      {"Channel", "http://a/12"},
      {"Alpha", "http://a/13"},
  };
  Run([&](TSettings& s, TSettingsStore&) {
    for (const auto& [caption, address] : channels) s.RadioChannels.push_back({caption, address});
  });
  const auto first = ReadWholeFile(hive_);
  ASSERT_TRUE(first);
  EXPECT_EQ(Pairs(Run().RadioChannels), channels);
  EXPECT_EQ(ReadWholeFile(hive_), first);  // the next save writes the same
  EXPECT_EQ(Pairs(Run().RadioChannels), channels);

  TRegistryStore registry(hive_);
  TRegistry reg(registry);
  ASSERT_TRUE(reg.OpenKeyReadOnly(std::string(kSettingsKey) + "Radio"));
  EXPECT_EQ(reg.GetKeyNames().size(), channels.size());
  ASSERT_TRUE(reg.OpenKeyReadOnly(std::string(kSettingsKey) + "Radio\\Alpha"));
  EXPECT_EQ(reg.ReadString("address"), "http://a/13");
  EXPECT_FALSE(reg.ValueExists("caption"));
  ASSERT_TRUE(reg.OpenKeyReadOnly(std::string(kSettingsKey) + "Radio\\AC/DC"));
  EXPECT_EQ(reg.ReadString("caption"), "AC\\DC");
}

// A hive written before channels kept their place: one key per caption,
// read in the keys' order; a key without an address is skipped.
TEST_F(SettingsTest, RadioChannelsOfAnOlderHiveLoadAsBefore) {
  const std::string radio = "[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData\\Radio";
  WriteHive("\r\n" + radio + "\\Zed FM]\r\n\"address\"=\"http://z/zed.pls\"\r\n\r\n" + radio +
            "\\Jazz (2)]\r\n\"address\"=\"http://j\"\r\n\r\n" + radio +
            "\\alpha]\r\n\"address\"=\"http://a\"\r\n\r\n" + radio +
            "\\Empty]\r\n\"other\"=\"x\"\r\n\r\n");
  const Channels expected = {
      {"alpha", "http://a"}, {"Jazz (2)", "http://j"}, {"Zed FM", "http://z/zed.pls"}};
  EXPECT_EQ(Pairs(Run().RadioChannels), expected);
  EXPECT_EQ(Pairs(Run().RadioChannels), expected);  // and again once saved anew
}

// The usage alerts live in values of their own, written only while set: a
// hive that never used them keeps its bytes, one that did reads back the
// same, and clearing them removes the values again.
TEST_F(SettingsTest, UsageAlertValuesOnlyWhileSet) {
  Run();
  const auto plain = ReadWholeFile(hive_);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->find("UsageAlert"), std::string::npos);
  Run([](TSettings& s, TSettingsStore&) {
    s.UsageAlertLevel1 = 80;
    s.UsageAlertLevel2 = 95;
    s.UsageAlertPace = true;
    s.UsageAlertsTold = {"2026-12-15:80", "2026-12-15:pace"};
  });
  const TSettings loaded = Run();
  EXPECT_EQ(loaded.UsageAlertLevel1, 80);
  EXPECT_EQ(loaded.UsageAlertLevel2, 95);
  EXPECT_TRUE(loaded.UsageAlertPace);
  EXPECT_EQ(loaded.UsageAlertsTold, (std::vector<std::string>{"2026-12-15:80", "2026-12-15:pace"}));
  Run([](TSettings& s, TSettingsStore&) {
    s.UsageAlertLevel1 = s.UsageAlertLevel2 = 0;
    s.UsageAlertPace = false;
    s.UsageAlertsTold.clear();
  });
  EXPECT_EQ(ReadWholeFile(hive_), plain);
}

TEST_F(SettingsTest, CommandLineRunsNeverWrite) {
  Run([](TSettings& s, TSettingsStore&) {
    s.AccountName = "john";
    s.Password = "secret";
  });
  const auto before = ReadWholeFile(hive_);
  context_.Args = {"other@adsl", "pw"};
  const TSettings s = Run([](TSettings& s2, TSettingsStore& store) {
    s2.StayOnTop = true;
    store.SaveSettings(s2);
    s2.Password.clear();  // the password field emptied in Setup
    EXPECT_FALSE(store.CredentialsEdited(s2));
  });
  EXPECT_TRUE(s.CommandLineCredentials);
  EXPECT_EQ(s.AccountName, "other");
  EXPECT_EQ(s.AccountType, 1);
  EXPECT_EQ(s.WindowCaption, "QGM - other");
  EXPECT_EQ(ReadWholeFile(hive_), before);
  // A realm of its own leaves the stored type alone.
  context_.Args = {"x@elsewhere", "pw"};
  EXPECT_EQ(Run().AccountType, 0);
}

TEST_F(SettingsTest, CredentialEditsAndAccountTypes) {
  Run([](TSettings& s, TSettingsStore& store) {
    store.SaveAccount(1, "biz", "bizpw");
    store.SaveAccount(0, "john", "secret");
    s.AccountType = 0;
  });
  TRegistryStore registry(hive_);
  TSettingsStore store(registry, autostart_, log_, "qgm");
  TSettings s;
  store.LoadSettings(s, context_);
  EXPECT_EQ(s.AccountName, "john");
  store.AccountTypeChanged(s, 1);
  EXPECT_EQ(s.AccountName, "biz");
  store.AccountTypeChanged(s, 2);  // nothing stored: the fields keep their text
  EXPECT_EQ(s.AccountName, "biz");
  EXPECT_EQ(s.AccountType, 2);

  // A new password is only marked; the stored pair stays until an update succeeds.
  store.AccountTypeChanged(s, 0);
  s.Password = "newpw";
  EXPECT_TRUE(store.CredentialsEdited(s));
  std::string name, password;
  ASSERT_TRUE(store.LoadAccount(0, name, password));
  EXPECT_EQ(password, "secret");
  // Clearing the field erases the pair at once.
  s.Password.clear();
  EXPECT_FALSE(store.CredentialsEdited(s));
  EXPECT_FALSE(store.LoadAccount(0, name, password));
  TRegistryStore after(hive_);
  TRegistry reg(after);
  reg.OpenKeyReadOnly(kSettingsKey);
  EXPECT_FALSE(reg.ValueExists("home"));
  EXPECT_FALSE(reg.ValueExists("home2"));
  EXPECT_TRUE(reg.ValueExists("business2"));
  EXPECT_FALSE(store.LoadAccount(-1, name, password));
}

TEST_F(SettingsTest, LoggingSwitchWritesTheRestartLine) {
  log_ = TDebugLog(dir_ / "Debug.txt");
  context_.Args = {"-Logging"};
  const TSettings s = Run();
  EXPECT_TRUE(s.DebugLogging);
  EXPECT_EQ(ReadWholeFile(dir_ / "Debug.txt").value(), "QGM restarted: 01 Jun 14 09:05 AM\r\n");
}

TEST_F(SettingsTest, DebugLogTrimming) {
  TDebugLog log(dir_ / "Debug.txt");
  log.SetEnabled(true);
  auto lines = [&] {
    const std::string text = ReadWholeFile(log.File()).value_or("");
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  };
  for (int i = 0; i < 100; ++i) log.Write("line " + std::to_string(i));
  EXPECT_EQ(lines(), 100);
  log.Write("101st");
  EXPECT_EQ(lines(), 101);  // 100 lines grow to 101
  log.Write("next");
  EXPECT_EQ(lines(), 81);  // 101 are cut to the last 80, then one is added
  const std::string text = ReadWholeFile(log.File()).value();
  EXPECT_EQ(text.substr(0, 9), "line 21\r\n");
  // A log that cannot be written does not stop the caller.
  TDebugLog broken(dir_ / "missing" / "Debug.txt");
  broken.SetEnabled(true);
  EXPECT_FALSE(broken.Write("x"));
}

// A keyring in memory that can be locked or refuse writes.
class FakeKeyring : public ISecretStore {
 public:
  EReadResult Read(const std::string& key, std::string& secret) override {
    if (locked) return EReadResult::Failed;
    const auto it = entries.find(key);
    if (it == entries.end()) return EReadResult::NotFound;
    secret = it->second;
    return EReadResult::Found;
  }
  bool Write(const std::string& key, const std::string& secret) override {
    if (locked || refuses) return false;
    entries[key] = secret;
    if (mangles)  // as a keyring that takes only 7-bit text would
      for (char& c : entries[key])
        if (static_cast<unsigned char>(c) > 127) c = '?';
    return true;
  }
  bool Remove(const std::string& key) override {
    if (locked) return false;
    entries.erase(key);
    return true;
  }
  std::map<std::string, std::string> entries;
  bool locked = false, refuses = false, mangles = false;
};

class KeyringTest : public SettingsTest {
 protected:
  // A hive written before the keyring: an account, the proxy, CallHaven
  // and two mailboxes, all with scrambled passwords.
  void WriteOldHive() {
    Run([](TSettings& s, TSettingsStore&) {
      s.AccountName = "john";
      s.Password = "secret";
      s.ProxyPassword = "proxypw";
      s.CallhavenNo1 = "0298765432";
      s.CallhavenNo2 = "chpw";
      s.Mailboxes = {{"box1", "mail1", "uidl1"}, {"box2", "mail2", ""}};
    });
  }
  static void ExpectPasswords(const TSettings& s) {
    EXPECT_EQ(s.Password, "secret");
    EXPECT_EQ(s.ProxyPassword, "proxypw");
    EXPECT_EQ(s.CallhavenNo2, "chpw");
    ASSERT_EQ(s.Mailboxes.size(), 2u);
    EXPECT_EQ(s.Mailboxes[0].Password, "mail1");
    EXPECT_EQ(s.Mailboxes[1].Password, "mail2");
  }
  std::string Hive() { return ReadWholeFile(hive_).value_or(""); }
  FakeKeyring keyring_;
};

TEST_F(KeyringTest, TheFirstSaveMovesThePasswordsAndTheHiveKeepsNone) {
  WriteOldHive();
  const std::string old = Hive();
  ASSERT_NE(old.find("\"home2\"=hex:"), std::string::npos);
  secrets_ = &keyring_;
  // The old hive loads with every password, then the save moves them.
  ExpectPasswords(Run());
  EXPECT_EQ(keyring_.entries.size(), 5u);
  const std::string moved = Hive();
  for (const char* value : {"\"home2\"", "\"b4\"", "\"CallhavenNo2\"", "\"b3\""})
    EXPECT_EQ(moved.find(value), std::string::npos) << value;
  // Each moved password is marked, so only those are ever asked for.
  for (const char* marker :
       {"\"home2InKeyring\"=dword:00000001", "\"b4InKeyring\"=dword:00000001",
        "\"CallhavenNo2InKeyring\"=dword:00000001", "\"b3InKeyring\"=dword:00000001"})
    EXPECT_NE(moved.find(marker), std::string::npos) << marker;
  ExpectPasswords(Run());  // and back from the keyring
  EXPECT_EQ(Hive(), moved);
  // A mailbox removed takes its keyring entry with it.
  Run([](TSettings& s, TSettingsStore&) { s.Mailboxes.pop_back(); });
  EXPECT_EQ(keyring_.entries.size(), 4u);
}

TEST_F(KeyringTest, ALockedKeyringAtStartLosesNothing) {
  WriteOldHive();
  secrets_ = &keyring_;
  Run([](TSettings& s, TSettingsStore&) { s.RunOnStartup = false; });  // the user's choice
  ASSERT_FALSE(autostart_.Exists());
  const auto entries = keyring_.entries;
  const std::string moved = Hive();
  // Locked: nothing can be read, and nothing is removed or rewritten.
  keyring_.locked = true;
  const TSettings s = Run();
  EXPECT_EQ(s.Password, "");
  EXPECT_EQ(keyring_.entries, entries);
  EXPECT_EQ(Hive(), moved);
  // Not taken for a first run: "Run on Startup" stays off.
  EXPECT_FALSE(s.RunOnStartup);
  EXPECT_FALSE(autostart_.Exists());
  // Unlocked at the next start: all back.
  keyring_.locked = false;
  ExpectPasswords(Run());
}

// A keyring that counts its calls: a password that was never set is never
// asked for, nor removed, so a locked keyring is not woken for it.
TEST_F(KeyringTest, PasswordsNeverSetAreNeverAskedFor) {
  struct Counting : FakeKeyring {
    EReadResult Read(const std::string& key, std::string& secret) override {
      ++calls;
      return FakeKeyring::Read(key, secret);
    }
    bool Remove(const std::string& key) override {
      ++calls;
      return FakeKeyring::Remove(key);
    }
    int calls = 0;
  } counting;
  secrets_ = &counting;
  Run([](TSettings& s, TSettingsStore&) {
    s.AccountName = "john";
    s.Password = "secret";  // the only password
  });
  counting.calls = 0;
  const TSettings s = Run();
  EXPECT_EQ(s.Password, "secret");
  EXPECT_EQ(counting.calls, 1);  // the account's password, read once
}

TEST_F(KeyringTest, ACommandLineRunTouchesNeitherHiveNorKeyring) {
  WriteOldHive();
  const std::string old = Hive();
  secrets_ = &keyring_;
  context_.Args = {"other@adsl", "pw"};
  Run([](TSettings& s, TSettingsStore& store) {
    s.ProxyPassword = "changed";
    store.SaveSettings(s);
  });
  EXPECT_TRUE(keyring_.entries.empty());
  EXPECT_EQ(Hive(), old);
}

TEST_F(KeyringTest, WithoutAKeyringOrWhenItRefusesTheHiveKeepsThem) {
  WriteOldHive();
  const std::string old = Hive();
  keyring_.refuses = true;
  secrets_ = &keyring_;
  ExpectPasswords(Run());
  EXPECT_TRUE(keyring_.entries.empty());
  EXPECT_EQ(Hive(), old);  // scrambled as before, byte for byte
  secrets_ = nullptr;
  ExpectPasswords(Run());
  EXPECT_EQ(Hive(), old);
}

// A keyring that takes a password but gives back something else: the
// hive keeps its copy, and the password loads as it was.
TEST_F(KeyringTest, APasswordTheKeyringGivesBackChangedStaysInTheHive) {
  keyring_.mangles = true;
  secrets_ = &keyring_;
  Run([](TSettings& s, TSettingsStore&) {
    s.AccountName = "john";
    s.Password = "p\xE4ss";
    s.ProxyPassword = "proxypw";  // 7-bit: comes back whole, so it moves
  });
  const std::string hive = Hive();
  EXPECT_NE(hive.find("\"home2\"=hex:"), std::string::npos);
  EXPECT_EQ(hive.find("\"b4\"=hex:"), std::string::npos);
  EXPECT_EQ(keyring_.entries.count("\\Software\\Corvalink\\QuotaGaugeData\\b4"), 1u);
  for (int run = 0; run < 2; ++run) {
    const TSettings s = Run();
    EXPECT_EQ(s.Password, "p\xE4ss");
    EXPECT_EQ(s.ProxyPassword, "proxypw");
  }
  // Once the keyring keeps it whole, the next save moves it.
  keyring_.mangles = false;
  Run();
  EXPECT_EQ(Hive().find("\"home2\"=hex:"), std::string::npos);
  EXPECT_EQ(Run().Password, "p\xE4ss");
}

}  // namespace
}  // namespace qgm
