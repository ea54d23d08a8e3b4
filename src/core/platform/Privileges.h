#pragma once
// Whether the user may administer the computer.

namespace qgm {

// Linux: running as root, or a member of one of the groups that may use
// sudo ("sudo", "wheel" or "admin").
bool IsAdministrator();

}  // namespace qgm
