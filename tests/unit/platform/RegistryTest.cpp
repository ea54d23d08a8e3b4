#include "core/platform/Registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/platform/FileIo.h"
#include "core/platform/HiveFile.h"
#include "support/TempFolder.h"

namespace qgm {
namespace {

namespace fs = std::filesystem;

class HiveTest : public test::TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    file_ = dir_ / "Corvalink" / "registry.reg";
  }
  fs::path file_;
};

constexpr const char* kSample =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Corvalink]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"
    "\"accountType\"=dword:00000002\r\n"
    "\"roammobile\"=\"john \\\"the\\\" \\\\mobile\"\r\n"
    "\"roammobile2\"=hex:77,7c,7b\r\n"
    "@=\"default\"\r\n"
    "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
    "  16,17,18,19\r\n"
    "\"Path\"=hex(2):25,48,4f,4d,45,25,00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData\\Email]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData\\Email\\bob]\r\n"
    "\"b3\"=hex:6f\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData\\Email\\Carol]\r\n"
    "\"b3\"=hex:6e\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\.txt]\r\n"
    "@=\"txtfile\"\r\n"
    "\r\n";

TEST_F(HiveTest, ReadsAnExportedHive) {
  TRegistryStore store;
  std::string error;
  ASSERT_TRUE(THiveFile::Parse(kSample, store, error)) << error;
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Corvalink\\QuotaGaugeData\\"));
  EXPECT_EQ(reg.ReadInteger("accountType"), 2);
  EXPECT_EQ(reg.ReadString("ROAMMOBILE"), "john \"the\" \\mobile");  // names ignore case
  EXPECT_EQ(reg.ReadBinaryData("roammobile2", 80), "w|{");
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_EQ(reg.ReadBinaryData("Long", 80).size(), 26u);
  EXPECT_EQ(reg.ReadString("Path"), "%HOME%");
  EXPECT_THROW(reg.ReadString("accountType"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("missing"), ERegistryException);
  EXPECT_THROW(reg.ReadBinaryData("Long", 20), ERegistryException);  // longer than the buffer
  ASSERT_TRUE(reg.OpenKeyReadOnly("Email"));                         // relative to the open key
  // Windows order: letter case ignored ("bob" before "Carol").
  EXPECT_EQ(reg.GetKeyNames(), (std::vector<std::string>{"bob", "Carol"}));
  reg.RootKey = TRootKey::HKEY_CLASSES_ROOT;
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\.TXT"));
  EXPECT_EQ(reg.ReadString(""), "txtfile");
}

TEST_F(HiveTest, RoundTripIsByteIdentical) {
  TRegistryStore store;
  std::string error;
  ASSERT_TRUE(THiveFile::Parse(kSample, store, error)) << error;
  EXPECT_EQ(THiveFile::Format(store), kSample);
  // A string with a line break cannot stand in quotes: it is kept as bytes.
  TRegistry reg(store);
  reg.OpenKey("\\Software\\Corvalink\\QuotaGaugeData", false);
  reg.WriteString("Multi", "one\r\ntwo");
  const std::string text = THiveFile::Format(store);
  TRegistryStore again;
  ASSERT_TRUE(THiveFile::Parse(text, again, error)) << error;
  TRegistry reg2(again);
  reg2.OpenKeyReadOnly("\\Software\\Corvalink\\QuotaGaugeData");
  EXPECT_EQ(reg2.ReadString("Multi"), "one\r\ntwo");
  EXPECT_EQ(THiveFile::Format(again), text);
}

TEST_F(HiveTest, WritesTheFileWholeWithPrivateMode) {
  {
    TRegistryStore store(file_);
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Corvalink\\QuotaGaugeData\\", true));
    reg.WriteString("home", "john");
    reg.WriteBinaryData("home2", "w|{");
    reg.WriteDateTime("CallhavenDate", 36526.0);
    EXPECT_FALSE(fs::exists(file_));  // nothing is written before the flush
    ASSERT_TRUE(store.Flush());
  }
  struct stat st {};
  ASSERT_EQ(::stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  TRegistryStore store(file_);
  EXPECT_EQ(store.LoadError(), "");
  TRegistry reg(store);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Corvalink\\QuotaGaugeData"));
  EXPECT_EQ(reg.ReadString("home"), "john");
  EXPECT_EQ(reg.ReadDateTime("CallhavenDate"), 36526.0);
  EXPECT_EQ(reg.ReadBinaryData("CallhavenDate", 80), std::string("\0\0\0\0\xC0\xD5\xE1\x40", 8));
  // Reading changes nothing on disk.
  const auto before = ReadWholeFile(file_);
  reg.CloseKey();
  store.Flush();
  EXPECT_EQ(ReadWholeFile(file_), before);
}

TEST_F(HiveTest, KeysValuesAndDeletion) {
  TRegistryStore store;
  TRegistry reg(store);
  EXPECT_FALSE(reg.OpenKey("\\Software\\X", false));
  ASSERT_TRUE(reg.OpenKey("\\Software\\X\\Radio\\Jazz", true));
  reg.WriteString("address", "http://a");
  EXPECT_TRUE(reg.ValueExists("Address"));
  EXPECT_TRUE(reg.DeleteValue("ADDRESS"));
  EXPECT_FALSE(reg.ValueExists("address"));
  EXPECT_FALSE(reg.DeleteValue("address"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\X\\Radio"));
  EXPECT_TRUE(reg.DeleteKey("\\Software\\X\\Radio"));  // the open key goes with it
  EXPECT_FALSE(reg.KeyExists("\\Software\\X\\Radio\\Jazz"));
  EXPECT_THROW(reg.WriteString("a", "b"), ERegistryException);
  EXPECT_FALSE(reg.DeleteKey("\\Software\\Nope"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\X"));
  EXPECT_THROW(reg.WriteString("a", "b"), ERegistryException);
}

TEST_F(HiveTest, DamagedHiveIsSetAsideNeverOverwritten) {
  fs::create_directories(file_.parent_path());
  ASSERT_TRUE(WriteFileAtomic(file_, "REGEDIT4\r\n\r\n\"orphan\"=\"value\"\r\n"));
  TRegistryStore store(file_);
  EXPECT_NE(store.LoadError().find("value outside a key"), std::string::npos);
  EXPECT_FALSE(fs::exists(file_));
  int aside = 0;
  for (const auto& e : fs::directory_iterator(file_.parent_path())) {
    aside += e.path().filename().string().rfind("registry.reg.damaged-", 0) == 0;
  }
  EXPECT_EQ(aside, 1);
  // The program goes on with defaults.
  TRegistry reg(store);
  EXPECT_FALSE(reg.OpenKey("\\Software\\Corvalink", false));
}

TEST_F(HiveTest, TruncatedAtAnyByteNeverCrashes) {
  const std::string full = kSample;
  for (size_t n = 0; n <= full.size(); ++n) {
    TRegistryStore store;
    std::string error;
    const bool ok = THiveFile::Parse(full.substr(0, n), store, error);
    if (!ok) {
      EXPECT_FALSE(error.empty());
      TRegistry reg(store);  // the store is empty and usable
      EXPECT_FALSE(reg.KeyExists("\\Software"));
    }
  }
}

TEST_F(HiveTest, MalformedLines) {
  for (const char* text : {"", "REGEDIT5\r\n", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\r\n",
                           "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:123456789\r\n",
                           "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=hex:1\r\n",
                           "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"open\r\n",
                           "REGEDIT4\r\n[HKEY_CURRENT_USER\\A\\\\B]\r\n",
                           "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\nname=\"v\"\r\n"}) {
    TRegistryStore store;
    std::string error;
    EXPECT_FALSE(THiveFile::Parse(text, store, error)) << text;
  }
  // Other roots and deletions are passed over.
  TRegistryStore store;
  std::string error;
  EXPECT_TRUE(
      THiveFile::Parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"y\"\n[-HKEY_CURRENT_USER\\B]\n"
                       "[HKEY_CURRENT_USER\\C]\n\"gone\"=-\n; comment\n",
                       store, error))
      << error;
  TRegistry reg(store);
  EXPECT_TRUE(reg.OpenKeyReadOnly("\\C"));
  EXPECT_FALSE(reg.ValueExists("gone"));
}

}  // namespace
}  // namespace qgm
