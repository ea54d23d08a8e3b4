#pragma once

namespace qgm::cli {

// qgm-cli usage: one usage fetch, printed as text or JSON.
int RunUsageCommand(int argc, char** argv);

}  // namespace qgm::cli
