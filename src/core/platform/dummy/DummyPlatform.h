#pragma once
// The dummy platform set: nothing leaves the process. Programs are not
// started and nothing is opened; each call is recorded here instead, so a
// test can see what the program asked of the desktop. Folders lie in a
// temporary folder of the process's own.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace qgm::dummy {

struct TRecord {
  std::mutex Lock;
  std::vector<std::vector<std::string>> Started;  // StartProgram's argument lists
  std::vector<std::string> Opened;                // OpenWithDesktop's targets
  bool OpenStarts = true;                         // false: the desktop has no opener to start
  bool OpenSucceeds = true;                       // false: the opener starts, then fails
  bool Administrator = true;                      // what IsAdministrator answers
  // The adapters listed (loopback is added when asked for), so a test can
  // start with none and plug one in.
  std::vector<std::string> Adapters = {"eth0", "wlan0"};
  // Per adapter, the (received, sent) counters each reading gives in turn;
  // the last one repeats.
  std::map<std::string, std::vector<std::pair<uint64_t, uint64_t>>> Counters;
};

TRecord& Record();

}  // namespace qgm::dummy
