#include "cli/MaintenanceCommands.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "ProviderSimulator.h"
#include "cli/CliSession.h"
#include "cli/XmlDump.h"
#include "core/about/ClockCheck.h"
#include "core/about/Maintenance.h"
#include "core/about/VersionCheck.h"
#include "core/platform/ProcessValues.h"
#include "core/usage/UpdateCycle.h"
#include "core/util/Format.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

constexpr const char* kVersionHelp =
    "usage: qgm-cli version-check [--home-site URL] [--demo] [--json]\n"
    "\n"
    "Fetches the home site's version file and tells whether the release it\n"
    "names is newer than this program. Exit 1 when the file cannot be fetched.\n"
    "\n"
    "  --home-site URL        the program's home site (default: the endpoints file's home-site)\n"
    "  --demo                 the simulated provider's home site, which offers a newer release\n"
    "  --json                 print JSON\n";

constexpr const char* kClockHelp =
    "usage: qgm-cli clock [--time-host HOST[:PORT]] [--demo] [--json]\n"
    "\n"
    "Asks the provider's time server (RFC 868) for the time and prints how far\n"
    "this computer's clock is from it, as the About tab says it, and the offset\n"
    "in seconds (positive: this clock is fast). Exit 1 when there is no answer.\n"
    "\n"
    "  --time-host HOST[:PORT] the time server (default: the endpoints file's time-host)\n"
    "  --demo                 the simulated provider's time server\n"
    "  --json                 print JSON\n";

// The checks need a view and a notice sink; the commands print instead.
class TQuietView : public IMaintenanceView, public INoticeSink {
 public:
  void SetVersionLink(const std::string&, bool) override {}
  void SetClockState(const std::string&) override {}
  void LetPendingEventsRun() override {}
  void ShowNotice(const TNoticeRequest&) override {}
};

}  // namespace

int RunVersionCheckCommand(int argc, char** argv) {
  bool json = false;
  TEndpoints endpoints;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  if (const int done = ParseHostCommand(argc, argv, kVersionHelp, "--home-site",
                                        &TEndpoints::HomeSite, json, sim, endpoints);
      done >= 0)
    return done;
  if (sim) sim->OfferDemoUpdate();
  if (!endpoints.HomeSite.empty() && endpoints.HomeSite.back() != '/') endpoints.HomeSite += '/';

  TNetContext context(endpoints.CaFile);
  TQuietView quiet;
  TMaintenanceConfig config;
  config.HomeSite = endpoints.HomeSite;
  config.Context = &context;
  config.Proxy = [proxy = ProxyOf(LoadStoredSettings())] { return proxy; };
  TMaintenance maintenance(config, quiet, quiet);
  std::string failure;
  const auto body = maintenance.FetchVersionFile(&failure);
  if (!body) {
    Say(stderr, "qgm-cli: cannot fetch %sversion: %s\n", endpoints.HomeSite.c_str(),
                 failure.c_str());
    return 1;
  }
  const bool newer = IsNewerVersion(VersionLabel(), *body);
  std::string out;
  if (json) {
    out = "{\"version\":" + JsonStringUtf8(VersionText()) + ",\"body\":" + JsonStringUtf8(*body) +
          ",\"newer\":" + (newer ? "true" : "false") +
          ",\"safeName\":" + (IsSafeUpdateFileName(*body) ? "true" : "false") + "}\n";
  } else {
    out = "version file: " + *body + "\nthis program: " + VersionText() + "\n" +
          (newer ? "a newer release is available\n" : "no newer release\n");
  }
  WriteOutput(out, json);
  return 0;
}

int RunClockCommand(int argc, char** argv) {
  bool json = false;
  TEndpoints endpoints;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  if (const int done = ParseHostCommand(argc, argv, kClockHelp, "--time-host",
                                        &TEndpoints::TimeHost, json, sim, endpoints);
      done >= 0)
    return done;

  const TDateTime answer = AskTimeServer(endpoints.TimeHost, nullptr);
  const TDateTime now = NowLocal();
  const std::string text = ShownClockStateText(now, answer);
  const std::string offset =
      answer == 0 ? "null" : Format("%1.0f", {static_cast<long double>((now - answer) * 86400)});
  std::string out =
      json ? "{\"text\":" + JsonStringUtf8(text) + ",\"offsetSeconds\":" + offset + "}\n"
           : text + (answer == 0 ? "" : " (offset " + offset + " s)") + "\n";
  WriteOutput(out, json);
  return answer == 0 ? 1 : 0;
}

}  // namespace qgm::cli
