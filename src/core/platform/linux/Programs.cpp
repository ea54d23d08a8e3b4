#include "core/platform/Programs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>

extern char** environ;

namespace qgm {

namespace {

// Starts argv detached (a session of its own, so it outlives us and our
// terminal); a thread reaps it and hands its exit status to `onExit`.
bool Spawn(const std::vector<std::string>& argv, std::function<void(int status)> onExit) {
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], nullptr, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  std::thread([pid, onExit = std::move(onExit)] {
    int ws = 0;
    while (::waitpid(pid, &ws, 0) < 0 && errno == EINTR) {
    }
    if (onExit) onExit(WIFEXITED(ws) ? WEXITSTATUS(ws) : 128);
  }).detach();
  return true;
}

}  // namespace

bool RunDetached(const std::vector<std::string>& argv,
                 std::function<void(int status, const std::string& errors)> onExit) {
  if (argv.empty() || argv[0].empty()) return false;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files, pipeFds[1], 2);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &files, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&files);
  ::close(pipeFds[1]);
  if (rc != 0) {
    ::close(pipeFds[0]);
    return false;
  }
  std::thread([pid, errFd = pipeFds[0], onExit = std::move(onExit)] {
    // Read to the end (so the player never blocks on a full pipe), keeping
    // the first few kilobytes.
    constexpr size_t kKept = 4096;
    std::string errors;
    char buffer[1024];
    for (;;) {
      const ssize_t n = ::read(errFd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      if (errors.size() < kKept)
        errors.append(buffer, std::min(static_cast<size_t>(n), kKept - errors.size()));
    }
    ::close(errFd);
    int ws = 0;
    while (::waitpid(pid, &ws, 0) < 0 && errno == EINTR) {
    }
    if (onExit) onExit(WIFEXITED(ws) ? WEXITSTATUS(ws) : 128, errors);
  }).detach();
  return true;
}

bool StartProgram(const std::vector<std::string>& argv, int failWithinMs) {
  auto status = std::make_shared<std::promise<int>>();
  std::future<int> result = status->get_future();
  if (!Spawn(argv, [status](int code) { status->set_value(code); })) return false;
  if (failWithinMs <= 0) return true;
  if (result.wait_for(std::chrono::milliseconds(failWithinMs)) == std::future_status::ready) {
    return result.get() == 0;
  }
  return true;
}

bool ProgramExists(const std::string& program) {
  if (program.empty()) return false;
  if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  const std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = dirs.find(':', start);
    const std::string dir =
        dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

bool OpenWithDesktop(const std::string& target, std::function<void()> onFailure) {
  // Not waited for: xdg-open runs some handlers in the foreground.
  return Spawn({"xdg-open", target}, [onFailure = std::move(onFailure)](int status) {
    if (status != 0 && onFailure) onFailure();
  });
}

}  // namespace qgm
