#include "core/platform/Launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

extern char** environ;

namespace qgm {

bool StartProgram(const std::vector<std::string>& argv, int failWithinMs) {
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // The child gets a session of its own, so it outlives us and our terminal.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], nullptr, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  auto status = std::make_shared<std::promise<int>>();
  std::future<int> result = status->get_future();
  std::thread([pid, status] {
    int ws = 0;
    while (::waitpid(pid, &ws, 0) < 0 && errno == EINTR) {
    }
    status->set_value(WIFEXITED(ws) ? WEXITSTATUS(ws) : 128);
  }).detach();
  if (failWithinMs <= 0) return true;
  if (result.wait_for(std::chrono::milliseconds(failWithinMs)) == std::future_status::ready) {
    return result.get() == 0;
  }
  return true;
}

TLauncher::TLauncher(TRegistryStore& registry, TXdgDirs dirs, std::string opener)
    : registry_(registry), dirs_(std::move(dirs)), opener_(std::move(opener)) {}

bool TLauncher::IsWebAddress(const std::string& address) {
  auto startsWith = [&](const char* prefix) {
    const std::string p = prefix;
    if (address.size() <= p.size()) return false;
    for (size_t i = 0; i < p.size(); ++i) {
      char c = address[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != p[i]) return false;
    }
    return true;
  };
  if (!startsWith("http://") && !startsWith("https://")) return false;
  for (char c : address) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
  }
  return true;
}

bool TLauncher::OpenUrl(const std::string& address) {
  if (address.empty() || !IsWebAddress(address)) return false;
  if (StartProgram({opener_, address}, 3000)) return true;
  const std::string browser = FindAssociatedExe(registry_, ".htm", dirs_);
  return !browser.empty() && StartProgram({browser, address});
}

bool TLauncher::OpenFile(const std::string& fileName) {
  if (fileName.empty()) return false;
  // A name starting with "-" would read as an option.
  const std::string path = fileName[0] == '-' ? "./" + fileName : fileName;
  if (StartProgram({opener_, path}, 3000)) return true;
  const auto dot = fileName.rfind('.');
  const auto slash = fileName.rfind('/');
  const std::string ext = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                              ? ""
                              : fileName.substr(dot);
  std::string program = ext.empty() ? std::string() : FindAssociatedExe(registry_, ext, dirs_);
  // No association: a plain-text editor, as the program's own fallback.
  if (program.empty()) program = FindAssociatedExe(registry_, ".txt", dirs_);
  return !program.empty() && StartProgram({program, path});
}

}  // namespace qgm
