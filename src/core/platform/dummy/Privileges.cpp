#include "core/platform/Privileges.h"

#include "core/platform/dummy/DummyPlatform.h"

namespace qgm {

bool IsAdministrator() {
  auto& r = dummy::Record();
  std::lock_guard lock(r.Lock);
  return r.Administrator;
}

}  // namespace qgm
