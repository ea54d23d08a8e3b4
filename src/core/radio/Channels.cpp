#include "core/radio/Channels.h"

#include <algorithm>
#include <cctype>

#include "core/platform/FileIo.h"

namespace qgm {

namespace {

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

}  // namespace

std::vector<TRadioChannel> ParseChannelList(std::string_view text) {
  std::vector<TRadioChannel> channels;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    // CR LF is one line end; a lone CR or LF is one too.
    pos = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    channels.push_back(
        {std::string(line.substr(0, eq)), std::string(line.substr(eq + 1, kMaxChannelAddress))});
  }
  return channels;
}

std::string FormatChannelList(const std::vector<TRadioChannel>& channels) {
  std::string text;
  for (const TRadioChannel& c : channels) text += c.Name + "=" + c.Address + "\r\n";
  return text;
}

bool WriteChannelFile(const std::filesystem::path& file,
                      const std::vector<TRadioChannel>& channels) {
  return WriteFileAtomic(file, FormatChannelList(channels));
}

std::optional<std::vector<TRadioChannel>> ReadChannelFile(const std::filesystem::path& file) {
  const auto text = ReadWholeFile(file);
  if (!text) return std::nullopt;
  return ParseChannelList(*text);
}

std::vector<TRadioChannel> DefaultChannels(const std::vector<TRadioChannel>& available,
                                           std::string_view marker) {
  std::vector<TRadioChannel> chosen;
  const std::string m = Upper(marker);
  for (const TRadioChannel& c : available)
    if (Upper(c.Name + "=" + c.Address).find(m) != std::string::npos) chosen.push_back(c);
  return chosen;
}

void SortChannels(std::vector<TRadioChannel>& channels) {
  std::stable_sort(
      channels.begin(), channels.end(),
      [](const TRadioChannel& a, const TRadioChannel& b) { return Upper(a.Name) < Upper(b.Name); });
}

bool AddChannel(std::vector<TRadioChannel>& channels, const TRadioChannel& channel) {
  for (const TRadioChannel& c : channels)
    if (c.Address == channel.Address) return false;
  channels.push_back(channel);
  SortChannels(channels);
  return true;
}

std::string ChannelCount(size_t count) {
  return count == 1 ? "1 Channel" : std::to_string(count) + " Channels";
}

std::string ShownCaption(std::string_view caption) {
  if (caption.size() <= kMaxShownCaption) return std::string(caption);
  return std::string(caption.substr(0, kMaxShownCaption - 3)) + "...";
}

std::string AvailableChannelCount(size_t count) {
  return std::to_string(count) + " Channels";
}
}  // namespace qgm
