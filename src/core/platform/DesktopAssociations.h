#pragma once
// The desktop's own answer to "which program opens this file type", beside
// the registry's (Linux: the XDG MIME database's default application).

#include <string>
#include <vector>

namespace qgm {

// The program (path or name, its first argument) the desktop opens files
// with this extension (".csv") with; empty when it names none.
std::string DesktopAssociatedProgram(const std::string& extension);
// The argument list that opens `target` with that program, by the desktop's
// own rules for its command line; empty when it names none.
std::vector<std::string> DesktopOpenCommand(const std::string& extension,
                                            const std::string& target);

}  // namespace qgm
