#pragma once
// Radio channel lists: the provider's unmetered channels and the user's
// own, in the "caption=address" line format that both the download and the
// backup files use.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/Settings.h"

namespace qgm {

// The provider's own radio network: its channels are the defaults.
inline constexpr const char* kRadioNetworkMarker = "CVK";
// Addresses are cut to this many characters.
inline constexpr size_t kMaxChannelAddress = 255;

// One channel per line (CR LF, LF or CR); a line without "=" is skipped;
// the caption is the text before the first "=", the address the rest, cut
// to 255 characters; nothing is trimmed.
std::vector<TRadioChannel> ParseChannelList(std::string_view text);
// caption=address lines with CR LF ends, in list order.
std::string FormatChannelList(const std::vector<TRadioChannel>& channels);

// Backup and restore. Writing replaces the file whole; reading gives
// nothing for a file that cannot be read.
bool WriteChannelFile(const std::filesystem::path& file,
                      const std::vector<TRadioChannel>& channels);
std::optional<std::vector<TRadioChannel>> ReadChannelFile(const std::filesystem::path& file);

// The channels whose line, in upper case, holds the radio network's marker.
std::vector<TRadioChannel> DefaultChannels(const std::vector<TRadioChannel>& available,
                                           std::string_view marker = kRadioNetworkMarker);

// Sorted by caption, ignoring letter case; equal captions keep their order.
void SortChannels(std::vector<TRadioChannel>& channels);
// Appends and sorts; false (and nothing changes) when the address is in the
// list already, whatever its caption.
bool AddChannel(std::vector<TRadioChannel>& channels, const TRadioChannel& channel);

// A caption as menus and lists show it: at most kMaxShownCaption
// characters, "..." where it was cut (a server's megabyte caption would be
// laid out on every paint and read whole to a screen reader).
inline constexpr size_t kMaxShownCaption = 128;
std::string ShownCaption(std::string_view caption);

// "1 Channel" / "N Channels" for the user's list; the available list says
// "N Channels" for every count.
std::string ChannelCount(size_t count);
std::string AvailableChannelCount(size_t count);

}  // namespace qgm
