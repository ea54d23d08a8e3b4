#pragma once

namespace qgm::cli {

// qgm-cli history: the usage history after a history fetch, as text, in the
// usage log's own CSV format, or as JSON.
int RunHistoryCommand(int argc, char** argv);

}  // namespace qgm::cli
