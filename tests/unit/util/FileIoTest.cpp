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

TEST(Crc32, AdvisoryKeyForm) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32Key(std::string("a") + "bc"), "352441C2");
  EXPECT_EQ(Crc32Key("123456789"), "CBF43926");           // the standard check value
  EXPECT_EQ(Crc32Key(std::string("\0!", 2)), "DB002A1");  // no leading zeros
}

}  // namespace
}  // namespace qgm
