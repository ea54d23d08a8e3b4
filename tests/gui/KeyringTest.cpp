// The desktop's keyring through the Secret Service, run by keyring_test.sh
// on a private session bus with its own keyring daemon (never the user's):
// entries written, read back and removed, and a hive's passwords moved
// into it by the settings store.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/platform/FileIo.h"
#include "core/platform/SecretService.h"
#include "core/settings/SettingsStore.h"
#include "gui/platform/Keyring.h"

namespace qgm::gui {
namespace {

bool OnTestBus() {
  return std::getenv("QGM_KEYRING_TEST") != nullptr;
}

TEST(DesktopKeyring, WritesReadsAndRemoves) {
  if (!OnTestBus()) GTEST_SKIP() << "runs on keyring_test.sh's private bus only";
  auto keyring = MakeDesktopKeyring("QGM-test");
  ASSERT_TRUE(keyring);
  ASSERT_TRUE(keyring->Write("probe", "p\xC3\xA4ss word"));
  std::string secret;
  ASSERT_EQ(keyring->Read("probe", secret), ISecretStore::EReadResult::Found);
  EXPECT_EQ(secret, "p\xC3\xA4ss word");
  EXPECT_TRUE(keyring->Remove("probe"));
  EXPECT_EQ(keyring->Read("probe", secret), ISecretStore::EReadResult::NotFound);
  EXPECT_TRUE(keyring->Remove("probe"));  // nothing to remove is fine
}

// Passwords in the program's 8-bit text, with bytes above 127: the euro
// sign, a letter, the last C1 byte and one the code page leaves undefined.
const char* const kEightBitPasswords[] = {"p\xE4ss", "\x80uro", "x\x9Fy", "\x81\xFF\xA0z"};

// The program's keyring and qgm-cli's each give back what the other wrote,
// and the entry holds UTF-8 text for other tools.
TEST(DesktopKeyring, EightBitPasswordsRoundTripThroughBothPaths) {
  if (!OnTestBus()) GTEST_SKIP() << "runs on keyring_test.sh's private bus only";
  const std::unique_ptr<ISecretStore> paths[] = {MakeDesktopKeyring("QGM-test"),
                                                 OpenSecretService("QGM-test")};
  for (const auto& writer : paths) {
    for (const auto& reader : paths) {
      for (const char* password : kEightBitPasswords) {
        ASSERT_TRUE(writer->Write("eight-bit", password));
        std::string secret;
        ASSERT_EQ(reader->Read("eight-bit", secret), ISecretStore::EReadResult::Found);
        EXPECT_EQ(secret, password);
      }
    }
  }
  ASSERT_TRUE(paths[0]->Write("eight-bit", "p\xE4ss \x80"));
  FILE* lookup = ::popen("secret-tool lookup server QGM-test user eight-bit", "r");
  ASSERT_TRUE(lookup);
  char text[64] = {};
  const size_t got = std::fread(text, 1, sizeof text - 1, lookup);
  ::pclose(lookup);
  EXPECT_EQ(std::string(text, got), "p\xC3\xA4ss \xE2\x82\xAC");
  EXPECT_TRUE(paths[0]->Remove("eight-bit"));
}

// Entries other tools (or an earlier build) left: 8-bit bytes that are not
// UTF-8 are taken as they stand; one with the replacement character (a
// password damaged on its way in) or a character the code page lacks is no
// password to sign in with, and neither path hands it out.
TEST(DesktopKeyring, EntriesLeftByOthers) {
  if (!OnTestBus()) GTEST_SKIP() << "runs on keyring_test.sh's private bus only";
  auto store = [](const char* bytes) {
    const std::string command =
        "printf '" + std::string(bytes) +
        "' | secret-tool store --label=QGM server QGM-test type plaintext user left";
    return std::system(command.c_str()) == 0;
  };
  const std::unique_ptr<ISecretStore> paths[] = {MakeDesktopKeyring("QGM-test"),
                                                 OpenSecretService("QGM-test")};
  for (const auto& path : paths) {
    std::string secret;
    ASSERT_TRUE(store("p\\344ss"));
    ASSERT_EQ(path->Read("left", secret), ISecretStore::EReadResult::Found);
    EXPECT_EQ(secret, "p\xE4ss");
    ASSERT_TRUE(store("p\\357\\277\\275ss"));
    EXPECT_EQ(path->Read("left", secret), ISecretStore::EReadResult::Failed);
    ASSERT_TRUE(store("\\320\\226"));  // Cyrillic Zhe
    EXPECT_EQ(path->Read("left", secret), ISecretStore::EReadResult::Failed);
    // A failed entry does not stop the keyring being asked for others.
    ASSERT_TRUE(path->Write("probe", "ok"));
    EXPECT_EQ(path->Read("probe", secret), ISecretStore::EReadResult::Found);
  }
  EXPECT_TRUE(paths[0]->Remove("left"));
  EXPECT_TRUE(paths[0]->Remove("probe"));
}

TEST(DesktopKeyring, TheHivesPasswordsMoveIntoIt) {
  if (!OnTestBus()) GTEST_SKIP() << "runs on keyring_test.sh's private bus only";
  const auto dir = std::filesystem::temp_directory_path() / "qgm-keyring-test";
  std::filesystem::remove_all(dir);
  const auto hive = dir / "registry.reg";
  TAutostart autostart(dir / "autostart");
  TDebugLog log;
  TStartupContext context;
  context.WorkArea = [](const TRect&) { return TRect{0, 0, 1024, 768}; };
  auto run = [&](ISecretStore* secrets, const std::function<void(TSettings&)>& change) {
    TRegistryStore registry(hive);
    TSettingsStore store(registry, autostart, log, "/usr/bin/qgm", secrets);
    TSettings s;
    store.LoadSettings(s, context);
    store.LoadMailboxes(s);
    if (change) change(s);
    store.SaveSettings(s);
    return s;
  };
  // Written before there was a keyring: scrambled in the hive.
  run(nullptr, [](TSettings& s) {
    s.AccountName = "john";
    s.Password =
        "s\xE4"
        "cret";
    s.ProxyPassword = "proxypw";
    s.Mailboxes = {{"box", "mail\x80pw", ""}};
  });
  ASSERT_NE(ReadWholeFile(hive).value_or("").find("\"home2\"="), std::string::npos);
  auto keyring = MakeDesktopKeyring("QGM-test");
  run(keyring.get(), {});
  const std::string moved = ReadWholeFile(hive).value_or("");
  for (const char* value : {"\"home2\"", "\"b4\"", "\"b3\""})
    EXPECT_EQ(moved.find(value), std::string::npos) << value << " left in the hive";
  const TSettings back = run(keyring.get(), {});
  EXPECT_EQ(back.Password,
            "s\xE4"
            "cret");
  EXPECT_EQ(back.ProxyPassword, "proxypw");
  ASSERT_EQ(back.Mailboxes.size(), 1u);
  EXPECT_EQ(back.Mailboxes[0].Password, "mail\x80pw");
  // qgm-cli's path reads what the program moved.
  auto cli = OpenSecretService("QGM-test");
  std::string secret;
  ASSERT_EQ(cli->Read("\\Software\\Corvalink\\QuotaGaugeData\\home2", secret),
            ISecretStore::EReadResult::Found);
  EXPECT_EQ(secret,
            "s\xE4"
            "cret");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qgm::gui
