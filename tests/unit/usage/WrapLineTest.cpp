#include "core/usage/Notices.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qgm {
namespace {

// Every character is 10 pixels wide.
std::optional<size_t> Fixed(std::string_view text, int width) {
  return std::min(text.size(), static_cast<size_t>(width / 10));
}

std::vector<std::string> Lines(std::string text, int width) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    auto [line, rest] = WrapLine(text, width, Fixed);
    lines.push_back(line);
    text = rest;
  }
  return lines;
}

TEST(WrapLine, BreaksAtBlanksAndKeepsLineFeeds) {
  EXPECT_EQ(Lines("short", 100), (std::vector<std::string>{"short"}));
  EXPECT_EQ(Lines("the quick brown fox", 100),
            (std::vector<std::string>{"the quick", "brown fox"}));
  EXPECT_EQ(Lines("one\ntwo", 100), (std::vector<std::string>{"one\n", "two"}));
  EXPECT_EQ(Lines("a\n\nb", 100), (std::vector<std::string>{"a\n", "\n", "b"}));
  EXPECT_EQ(Lines("abcdefghijkl", 50), (std::vector<std::string>{"abcde", "fghij", "kl"}));
  EXPECT_EQ(Lines("ab    cd", 40), (std::vector<std::string>{"ab", "cd"}));
}

TEST(WrapLine, NothingFitsStillMakesProgress) {
  EXPECT_EQ(Lines("abc", 0), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(WrapLine, EmptyTextAndFailedMeasurement) {
  EXPECT_EQ(WrapLine("", 100, Fixed).first, "");
  const TTextFitter broken = [](std::string_view, int) { return std::optional<size_t>(); };
  try {
    WrapLine("text", 100, broken);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "GetTextExtentExPointA WinApi error in TPages");
  }
}

}  // namespace
}  // namespace qgm
