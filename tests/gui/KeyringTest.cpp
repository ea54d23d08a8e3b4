// The desktop's keyring through the Secret Service, run by keyring_test.sh
// on a private session bus with its own keyring daemon (never the user's):
// entries written, read back and removed, and a hive's passwords moved
// into it by the settings store.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/platform/FileIo.h"
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
    s.Password = "secret";
    s.ProxyPassword = "proxypw";
    s.Mailboxes = {{"box", "mailpw", ""}};
  });
  ASSERT_NE(ReadWholeFile(hive).value_or("").find("\"home2\"="), std::string::npos);
  auto keyring = MakeDesktopKeyring("QGM-test");
  run(keyring.get(), {});
  const std::string moved = ReadWholeFile(hive).value_or("");
  for (const char* value : {"\"home2\"", "\"b4\"", "\"b3\""})
    EXPECT_EQ(moved.find(value), std::string::npos) << value << " left in the hive";
  const TSettings back = run(keyring.get(), {});
  EXPECT_EQ(back.Password, "secret");
  EXPECT_EQ(back.ProxyPassword, "proxypw");
  ASSERT_EQ(back.Mailboxes.size(), 1u);
  EXPECT_EQ(back.Mailboxes[0].Password, "mailpw");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qgm::gui
