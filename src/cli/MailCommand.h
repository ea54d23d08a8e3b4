#pragma once

namespace qgm::cli {

// qgm-cli mail: checks the mailboxes once, as an update does.
int RunMailCommand(int argc, char** argv);

}  // namespace qgm::cli
