#include "core/platform/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
                                             std::string& storage) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // One byte more than the file, so that its end is seen without growing.
  struct stat st {};
  const size_t expected =
      ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) + 1 : 65536;
  if (storage.size() < expected) storage.resize(expected);
  size_t got = 0;
  while (true) {
    if (got == storage.size()) storage.resize(storage.size() * 2);
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
