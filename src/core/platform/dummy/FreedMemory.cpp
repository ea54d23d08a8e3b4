#include "core/platform/FreedMemory.h"

namespace qgm {

// Nothing to hand back on a platform of stand-ins.
void ReturnFreedMemory() {}

}  // namespace qgm
