#include "core/platform/Programs.h"
#include "core/platform/dummy/DummyPlatform.h"

namespace qgm {

namespace dummy {
TRecord& Record() {
  static TRecord record;
  return record;
}
}  // namespace dummy

bool StartProgram(const std::vector<std::string>& argv, int) {
  if (argv.empty() || argv[0].empty()) return false;
  std::lock_guard lock(dummy::Record().Lock);
  dummy::Record().Started.push_back(argv);
  return true;
}

bool RunDetached(const std::vector<std::string>& argv,
                 std::function<void(int status, const std::string& errors)> onExit) {
  if (!StartProgram(argv, 0)) return false;
  // The dummy players succeed at once, on the caller's thread.
  if (onExit) onExit(0, {});
  return true;
}

bool ProgramExists(const std::string& program) {
  return !program.empty();
}

bool OpenWithDesktop(const std::string& target, std::function<void()> onFailure) {
  bool succeeds = true;
  {
    std::lock_guard lock(dummy::Record().Lock);
    if (!dummy::Record().OpenStarts) return false;
    dummy::Record().Opened.push_back(target);
    succeeds = dummy::Record().OpenSucceeds;
  }
  // The dummy desktop's opener fails at once, on the caller's thread.
  if (!succeeds && onFailure) onFailure();
  return true;
}

}  // namespace qgm
