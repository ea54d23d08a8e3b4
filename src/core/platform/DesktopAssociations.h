#pragma once
// The desktop's own answer to "which program opens this file type", beside
// the registry's (Linux: the XDG MIME database's default application).

#include <string>
#include <vector>

namespace qgm {

// The argument list that opens `target` with the program the desktop
// associates with this extension (".csv"), by the desktop's own rules for
// its command line; empty when it names none. With an empty target, the
// program and its fixed arguments.
std::vector<std::string> DesktopOpenCommand(const std::string& extension,
                                            const std::string& target);

}  // namespace qgm
