#include "core/platform/FreedMemory.h"

#include <malloc.h>

namespace qgm {

void ReturnFreedMemory() {
  malloc_trim(0);
}

}  // namespace qgm
