// Refreshes the advisories feed once for every line read from standard
// input, with one controller for the whole run (its validators and kept
// document carry over as in the program), and prints each outcome as a
// line: "ok" or "failed", then the title and the advisory keys, tab
// separated, or the failure.
//   qgm_interop_feed FEED_URL [CA_FILE]
#include <iostream>
#include <string>
#include <vector>

#include "core/advisories/Advisories.h"
#include "core/net/NetContext.h"
#include "core/platform/ProcessValues.h"
#include "core/util/DateTime.h"

namespace {

class TSystemClock : public qgm::IClock {
 public:
  qgm::TDateTime Now() const override { return qgm::NowLocal(); }
  int64_t TickMs() const override { return 0; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: qgm_interop_feed FEED_URL [CA_FILE]\n";
    return 2;
  }
  qgm::TNetContext context(argc == 3 ? argv[2] : "");
  TSystemClock clock;
  std::vector<std::string> seen;
  qgm::TAdvisories advisories({argv[1], qgm::ProgramUserAgent(), &context}, seen, clock, nullptr);
  std::string line;
  while (std::getline(std::cin, line)) {
    const bool ok = advisories.RefreshAdvisories();
    std::string out = ok ? "ok\t" + advisories.Title() : "failed\t" + advisories.Failure();
    for (const qgm::TAdvisory& a : advisories.Items()) out += "\t" + a.Key;
    std::cout << out << std::endl;
  }
  return 0;
}
