#include "core/platform/Privileges.h"

#include <grp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace qgm {

bool IsAdministrator() {
  if (::geteuid() == 0) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int read = ::getgroups(count, groups.data());
  for (int i = 0; i < read; ++i) {
    // getgrgid_r with a buffer that grows until the entry fits.
    std::vector<char> buffer(1024);
    group entry{};
    group* found = nullptr;
    int rc = 0;
    while ((rc = ::getgrgid_r(groups[static_cast<size_t>(i)], &entry, buffer.data(), buffer.size(),
                              &found)) == ERANGE &&
           buffer.size() < (1u << 20))
      buffer.resize(buffer.size() * 2);
    if (rc != 0 || !found || !found->gr_name) continue;
    for (const char* name : {"sudo", "wheel", "admin"})
      if (std::strcmp(found->gr_name, name) == 0) return true;
  }
  return false;
}

}  // namespace qgm
