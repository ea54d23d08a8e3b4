#include "core/util/CpuFeatures.h"

#include <atomic>

namespace qgm {
namespace {

std::atomic<bool> forcedPlain{false};

bool ProcessorHasWide() {
#if QGM_WIDE_PATHS
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
         __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
#else
  return false;
#endif
}

}  // namespace

bool UseWidePaths() {
  static const bool has = ProcessorHasWide();
  return has && !forcedPlain.load(std::memory_order_relaxed);
}

void ForcePlainPaths(bool plain) {
  forcedPlain.store(plain, std::memory_order_relaxed);
}

}  // namespace qgm
