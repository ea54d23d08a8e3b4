#include "core/platform/FileIo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/util/Crc32.h"
#include "support/TempFolder.h"

namespace qgm {
namespace {

namespace fs = std::filesystem;

using FileIoTest = test::TempFolderTest;

TEST_F(FileIoTest, WriteReplacesWholeAndLeavesNoTemporaryFiles) {
  const fs::path file = dir_ / "log.csv";
  ASSERT_TRUE(WriteFileAtomic(file, std::string(100000, 'a')));
  ASSERT_TRUE(WriteFileAtomic(file, "short\r\n"));
  EXPECT_EQ(ReadWholeFile(file).value(), "short\r\n");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(FileIoTest, ModeIsApplied) {
  const fs::path file = dir_ / "registry.reg";
  ASSERT_TRUE(WriteFileAtomic(file, "secret", 0600));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FileIoTest, FailedWriteKeepsTheOldFile) {
  const fs::path file = dir_ / "data.txt";
  ASSERT_TRUE(WriteFileAtomic(file, "old"));
  // A folder that does not exist cannot take the temporary file.
  EXPECT_FALSE(WriteFileAtomic(dir_ / "missing" / "data.txt", "new"));
  EXPECT_EQ(ReadWholeFile(file).value(), "old");
  EXPECT_FALSE(ReadWholeFile(dir_ / "nope").has_value());
  EXPECT_EQ(ReadWholeFile(dir_).value_or("x"), "x");  // a folder is not readable as a file
}

// Files read one after another into one storage: each comes back whole,
// whether it is larger than the storage so far, smaller, empty, or growing
// past what its size said; a folder or a missing file is not read.
TEST_F(FileIoTest, FilesReadIntoOneStorageComeBackWhole) {
  std::string storage;
  const std::string big(200000, 'b'), small = "small\r\n";
  ASSERT_TRUE(WriteFileAtomic(dir_ / "big", big));
  ASSERT_TRUE(WriteFileAtomic(dir_ / "small", small));
  ASSERT_TRUE(WriteFileAtomic(dir_ / "empty", ""));
  EXPECT_EQ(ReadFileInto(dir_ / "small", storage).value(), small);
  EXPECT_EQ(ReadFileInto(dir_ / "big", storage).value(), big);
  EXPECT_EQ(ReadFileInto(dir_ / "small", storage).value(), small);
  EXPECT_EQ(ReadFileInto(dir_ / "empty", storage).value(), "");
  EXPECT_FALSE(ReadFileInto(dir_ / "nope", storage).has_value());
  EXPECT_FALSE(ReadFileInto(dir_, storage).has_value());
  // A size the file system does not know beforehand, and more than one
  // storage's worth of it.
  std::string fresh;
  const auto status = ReadFileInto("/proc/self/status", fresh);
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(status->find("Name:"), std::string_view::npos);
  EXPECT_EQ(status->back(), '\n');
}

TEST(Crc32, AdvisoryKeyForm) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32Key(std::string("a") + "bc"), "352441C2");
  EXPECT_EQ(Crc32Key("123456789"), "CBF43926");           // the standard check value
  EXPECT_EQ(Crc32Key(std::string("\0!", 2)), "DB002A1");  // no leading zeros
}

}  // namespace
}  // namespace qgm
