#include "core/platform/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace qgm {
namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string data;
  char buf[65536];
  while (true) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;  // for instance a folder
    }
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

std::optional<std::string_view> ReadFileInto(const std::filesystem::path& path,
                                             std::string& storage, uint64_t maxBytes,
                                             std::string* refused) {
  // Not blocking: opening a FIFO would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    if (refused) *refused = "not a regular file";
    return std::nullopt;
  }
  if (static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    if (refused)
      *refused = std::to_string(st.st_size) + " bytes, more than " + std::to_string(maxBytes);
    return std::nullopt;
  }
  // One byte more than the file, so that its end is seen without growing.
  const size_t expected = static_cast<size_t>(st.st_size) + 1;
  if (storage.size() < expected) storage.resize(expected);
  size_t got = 0;
  while (true) {
    if (got == storage.size()) {
      // Grown since it was looked at: no further than the limit.
      if (got > maxBytes) {
        ::close(fd);
        if (refused) *refused = "more than " + std::to_string(maxBytes) + " bytes";
        return std::nullopt;
      }
      storage.resize(storage.size() * 2);
    }
    const ssize_t n = ::read(fd, storage.data() + got, storage.size() - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;  // for instance a folder
    }
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  return std::string_view(storage.data(), got);
}

bool WriteFileAtomic(const std::filesystem::path& path, std::string_view data, unsigned mode) {
  const std::filesystem::path folder = path.parent_path();
  std::string tmpl = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(tmpl.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tmpl.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace qgm
