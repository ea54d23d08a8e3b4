// The advisories feed from arbitrary bytes as a reply body: the text
// conversion, the tree, the title and every advisory. The same text sent as
// UTF-16 with its mark must read the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/advisories/Feed.h"
#include "core/util/CodePage.h"

namespace {

std::vector<qgm::TAdvisory> Read(const std::u16string& text, std::u16string& title) {
  auto tree = qgm::BuildXmlTree(text);
  const bool isAtom = tree->FindChild("feed") != nullptr;
  title = qgm::FeedTitle(*tree, isAtom);
  return qgm::ReadAdvisories(*tree, isAtom, {"0", "352441C2"});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const std::u16string text = qgm::FeedBodyText(body);
  if (text.empty()) return 0;
  std::u16string title;
  const auto advisories = Read(text, title);
  for (const qgm::TAdvisory& a : advisories) {
    // The key is the whole text's; where nothing was cut it is the shown text's.
    const bool whole = a.Title.size() < qgm::kAdvisoryTitleLimit &&
                       a.Description.size() < qgm::kAdvisoryTextLimit;
    if (whole && a.Key != qgm::AdvisoryKey(a.Title, a.Description)) __builtin_trap();
    if (a.IsNew == (a.Key == "0" || a.Key == "352441C2")) __builtin_trap();
  }
  // UTF-16 big-endian with its mark: the same document.
  std::string wide = "\xFE\xFF";
  for (char16_t c : text) wide += std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  std::u16string title2;
  const auto again = Read(qgm::FeedBodyText(wide), title2);
  if (title2 != title || again.size() != advisories.size()) __builtin_trap();
  for (size_t i = 0; i < again.size(); ++i)
    if (again[i].Key != advisories[i].Key || again[i].Link != advisories[i].Link) __builtin_trap();
  return 0;
}
