// The radio channel list text from arbitrary bytes: every channel's address
// is at most 255 characters, a caption holds no "=" or line end, and the
// list written back reads the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/radio/Channels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto list = qgm::ParseChannelList(text);
  for (const auto& c : list) {
    if (c.Address.size() > qgm::kMaxChannelAddress) __builtin_trap();
    if (c.Name.find_first_of("=\r\n") != std::string::npos) __builtin_trap();
    if (c.Address.find_first_of("\r\n") != std::string::npos) __builtin_trap();
  }
  const auto again = qgm::ParseChannelList(qgm::FormatChannelList(list));
  if (again.size() != list.size()) __builtin_trap();
  for (size_t i = 0; i < list.size(); ++i)
    if (again[i].Name != list[i].Name || again[i].Address != list[i].Address) __builtin_trap();
  (void)qgm::DefaultChannels(list);
  std::vector<qgm::TRadioChannel> mine;
  for (const auto& c : list) qgm::AddChannel(mine, c);
  return 0;
}
