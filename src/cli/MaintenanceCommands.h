#pragma once

namespace qgm::cli {

// qgm-cli version-check: the home site's version file and whether it names
// a newer release.
int RunVersionCheckCommand(int argc, char** argv);
// qgm-cli clock: this computer's clock against the provider's time server.
int RunClockCommand(int argc, char** argv);

}  // namespace qgm::cli
