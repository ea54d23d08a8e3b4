#pragma once

namespace qgm::cli {

// qgm-cli advisories: one refresh of the advisories feed, printed.
int RunAdvisoriesCommand(int argc, char** argv);

}  // namespace qgm::cli
