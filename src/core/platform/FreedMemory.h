#pragma once
// Handing memory the program has freed back to the system.

namespace qgm {

// After a burst of work (an update parses the whole history): the freed
// heap goes back to the system instead of staying resident until the next
// hour's update reuses it. Linux: malloc_trim.
void ReturnFreedMemory();

}  // namespace qgm
