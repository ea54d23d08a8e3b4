#pragma once
// Values fixed once per process: the version and the number conventions.

#include <string>

namespace qgm {

// "%d.%d.%d" of the build's version.
std::string VersionText();
// "QGM/" + the version text.
std::string ProgramUserAgent();
// The user's locale for thousands separators and currency; "." stays the
// decimal separator for the whole process.
void InitLocale();

}  // namespace qgm
