#include "core/platform/FileIo.h"

#include <fstream>
#include <iterator>
#include <random>

namespace qgm {

// Standard C++ only: written beside the target and renamed over it, without
// the durable flushes of a real platform.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<std::string_view> ReadFileInto(const std::filesystem::path& path,
                                             std::string& storage, uint64_t maxBytes,
                                             std::string* refused) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
    if (refused) *refused = "not a regular file";
    return std::nullopt;
  }
  if (const auto size = std::filesystem::file_size(path, ec); !ec && size > maxBytes) {
    if (refused) *refused = std::to_string(size) + " bytes, more than " + std::to_string(maxBytes);
    return std::nullopt;
  }
  auto text = ReadWholeFile(path);
  if (!text) return std::nullopt;
  if (storage.size() < text->size()) storage.resize(text->size());
  text->copy(storage.data(), text->size());
  return std::string_view(storage.data(), text->size());
}

bool WriteFileAtomic(const std::filesystem::path& path, std::string_view data, unsigned mode) {
  static std::mt19937 random{std::random_device{}()};
  const auto tmp = path.parent_path() /
                   ("." + path.filename().string() + "." + std::to_string(random() % 1000000));
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    std::error_code ec;
    std::filesystem::permissions(
        tmp, static_cast<std::filesystem::perms>(mode) & std::filesystem::perms::mask, ec);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
      std::filesystem::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (!ec) return true;
  std::filesystem::remove(tmp, ec);
  return false;
}

}  // namespace qgm
