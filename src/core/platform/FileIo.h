#pragma once
// Whole-file reading and writing. Files are always written whole: a
// temporary file beside the target is written, flushed to disk and renamed
// over the target, so a crash leaves either the old file or the new one,
// never half. Each platform set implements it with its own durable calls.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qgm {

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);
// The same, read into `storage`, which is kept from one call to the next so
// that reading many files allocates once: the bytes are the start of it.
// Nothing when the file cannot be read, and when it is not a regular file
// (a FIFO is never waited on) or is larger than `maxBytes`: for those two
// `refused` (when given) says why.
std::optional<std::string_view> ReadFileInto(const std::filesystem::path& path,
                                             std::string& storage,
                                             uint64_t maxBytes = UINT64_MAX,
                                             std::string* refused = nullptr);

// Replaces `path` with `data` atomically. `mode` is the permission the file
// gets (the temporary file is created with it, so the data is never readable
// with looser permissions). Returns false, leaving any earlier file as it was,
// when the file cannot be written.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view data,
                     unsigned mode = 0644);

}  // namespace qgm
