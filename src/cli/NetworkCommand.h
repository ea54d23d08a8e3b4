#pragma once

namespace qgm::cli {

// qgm-cli network: the computer's adapters with their addresses and counters.
int RunNetworkCommand(int argc, char** argv);

}  // namespace qgm::cli
