#pragma once

namespace qgm::cli {

// qgm-cli calls: CallHaven call usage of the last 28 months.
int RunCallsCommand(int argc, char** argv);

}  // namespace qgm::cli
