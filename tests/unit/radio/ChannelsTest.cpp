// Radio channel lists: the line format, the defaults, the add rules and the
// counts.
#include "core/radio/Channels.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/TempFolder.h"

namespace qgm {
namespace {

TEST(Channels, LinesSplitAtTheFirstEqualsWithAnyLineEnd) {
  const auto c = ParseChannelList("Jazz=a=b\r\nno equals here\n Rock = http://x \rLast=http://y");
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].Name, "Jazz");
  EXPECT_EQ(c[0].Address, "a=b");
  EXPECT_EQ(c[1].Name, " Rock ");  // nothing trimmed
  EXPECT_EQ(c[1].Address, " http://x ");
  EXPECT_EQ(c[2].Name, "Last");
  EXPECT_EQ(c[2].Address, "http://y");
  // Empty lines between CR LF pairs are not channels; addresses are cut.
  const auto d = ParseChannelList("\r\n\r\nLong=" + std::string(300, 'a') + "\r\n=\r\n");
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].Address.size(), 255u);
  EXPECT_EQ(d[1].Name, "");
  EXPECT_EQ(d[1].Address, "");
}

using ChannelFiles = test::TempFolderTest;

TEST_F(ChannelFiles, BackupThenRestoreGivesTheSameList) {
  const std::vector<TRadioChannel> list = {
      {"Jazz", "a=b"}, {"CVK News", "http://x/news.pls"}, {"", "http://y"}};
  const auto file = dir_ / "radio.txt";
  ASSERT_TRUE(WriteChannelFile(file, list));
  const auto back = ReadChannelFile(file);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ((*back)[i].Name, list[i].Name);
    EXPECT_EQ((*back)[i].Address, list[i].Address);
  }
  EXPECT_FALSE(ReadChannelFile(dir_ / "missing.txt"));
}

TEST(Channels, DefaultsAreTheNetworksChannelsInFileOrder) {
  const auto all = ParseChannelList(
      "Zed=http://cvk.example/z\r\nRock=http://x/rock\r\ncvk "
      "Jazz=http://y/jazz\r\nA=http://x/a\r\n");
  const auto d = DefaultChannels(all);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].Name, "Zed");  // the marker may be in the address
  EXPECT_EQ(d[1].Name, "cvk Jazz");
}

TEST(Channels, AddingRefusesAKnownAddressAndKeepsTheListSorted) {
  std::vector<TRadioChannel> list;
  EXPECT_TRUE(AddChannel(list, {"rock", "http://x/rock"}));
  EXPECT_TRUE(AddChannel(list, {"Jazz", "http://x/jazz"}));
  EXPECT_TRUE(AddChannel(list, {"alpha", "http://x/alpha"}));
  EXPECT_FALSE(AddChannel(list, {"Another name", "http://x/jazz"}));
  EXPECT_TRUE(AddChannel(list, {"JAZZ", "HTTP://X/JAZZ"}));  // addresses compare with case
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].Name, "alpha");
  EXPECT_EQ(list[1].Name, "Jazz");
  EXPECT_EQ(list[2].Name, "JAZZ");
  EXPECT_EQ(list[3].Name, "rock");
}

TEST(Channels, Counts) {
  EXPECT_EQ(ChannelCount(0), "0 Channels");
  EXPECT_EQ(ChannelCount(1), "1 Channel");
  EXPECT_EQ(ChannelCount(2), "2 Channels");
  EXPECT_EQ(AvailableChannelCount(1), "1 Channels");
}

// What menus and lists show of a caption: whole up to 128 characters, cut
// with "..." beyond (a megabyte caption from a server included).
TEST(Channels, ShownCaptionsAreCapped) {
  const std::string big(1 << 20, 'x');
  for (const auto& [caption, shown] : std::vector<std::pair<std::string, std::string>>{
           {"", ""},
           {"Radio CVK", "Radio CVK"},
           {std::string(128, 'a'), std::string(128, 'a')},
           {std::string(129, 'a'), std::string(125, 'a') + "..."},
           {big, std::string(125, 'x') + "..."}})
    EXPECT_EQ(ShownCaption(caption), shown) << caption.size();
}

}  // namespace
}  // namespace qgm
