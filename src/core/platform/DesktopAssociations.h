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

// An application the desktop lists.
struct TDesktopApplication {
  std::string Name;     // as the desktop shows it
  std::string Program;  // the program its command starts
  std::string Icon;     // an icon theme name or an image path; may be empty
};

// The applications that play audio (their desktop entries name an audio
// type or a playlist), by name.
std::vector<TDesktopApplication> AudioApplications();

}  // namespace qgm
