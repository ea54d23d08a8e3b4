#pragma once
// The desktop's own answer to "which program opens this file type", beside
// the registry's (Linux: the XDG MIME database's default application).

#include <string>

namespace qgm {

// The program (path or name, its first argument) the desktop opens files
// with this extension (".csv") with; empty when it names none.
std::string DesktopAssociatedProgram(const std::string& extension);

}  // namespace qgm
