#pragma once

namespace qgm::cli {

// qgm-cli radio: the provider's unmetered radio channels.
int RunRadioCommand(int argc, char** argv);

}  // namespace qgm::cli
