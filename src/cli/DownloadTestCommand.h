#pragma once

namespace qgm::cli {

// qgm-cli download-test: the four-stream download test, run to its end.
int RunDownloadTestCommand(int argc, char** argv);

}  // namespace qgm::cli
