#include "cli/AdvisoriesCommand.h"

#include <cstdio>
#include <memory>
#include <string>

#include "ProviderSimulator.h"
#include "cli/CliSession.h"
#include "cli/XmlDump.h"
#include "core/advisories/Advisories.h"
#include "core/net/Endpoints.h"
#include "core/platform/Folders.h"
#include "core/platform/ProcessValues.h"
#include "core/usage/UpdateCycle.h"
#include "core/util/CodePage.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

constexpr const char* kHelp =
    "usage: qgm-cli advisories [--feed-url URL] [--json] [--demo]\n"
    "\n"
    "Fetches the provider's network advisories feed once and prints its title,\n"
    "then one advisory per line: key, new or seen, title, link and enclosure,\n"
    "separated by tabs. Advisories count as seen when the program has shown\n"
    "them (its stored settings are only read).\n"
    "\n"
    "  --feed-url URL         the feed's address (default: the endpoints file's feeds-url)\n"
    "  --json                 print JSON\n"
    "  --demo                 use the built-in simulated provider's feed\n";

class TSystemClock : public IClock {
 public:
  TDateTime Now() const override { return NowLocal(); }
  int64_t TickMs() const override { return 0; }
};

std::string Json(const std::string& cp1252) {
  return JsonString(Widen1252(cp1252));
}

std::string Utf8(const std::string& cp1252) {
  return Cp1252ToUtf8(cp1252);
}

}  // namespace

int RunAdvisoriesCommand(int argc, char** argv) {
  bool json = false, demo = false;
  std::optional<std::string> feedUrl;
  if (const int done = ParseCommandOptions(
          argc, argv, kHelp, {{"--json", &json}, {"--demo", &demo}}, {{"--feed-url", &feedUrl}});
      done >= 0)
    return done;

  // The demo reads nothing of the user's.
  TEndpoints endpoints;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  TSettings settings;
  if (demo) {
    if (const int failed = StartDemoProvider(sim, endpoints)) return failed;
  } else {
    if (const int failed = LoadEndpointsFile(std::nullopt, endpoints)) return failed;
    settings = LoadStoredSettings();
  }
  if (feedUrl) endpoints.FeedsUrl = *feedUrl;

  TNetContext context(endpoints.CaFile);
  TSystemClock clock;
  TAdvisories advisories({endpoints.FeedsUrl, ProgramUserAgent(), &context}, settings.HashList,
                         clock, nullptr);
  advisories.ApplyProxy(ProxyOf(settings));
  bool ok = false;
  try {
    ok = advisories.RefreshAdvisories();
  } catch (const std::exception& e) {
    Say(stderr, "qgm-cli: %s\n", e.what());
    return 1;
  }
  if (!ok) {
    Say(stderr, "qgm-cli: %s: %s\n", endpoints.FeedsUrl.c_str(),
                 advisories.Failure().c_str());
    return 1;
  }

  std::string out;
  if (json) {
    out = "{\"title\":" + Json(advisories.Title()) + ",\"advisories\":[";
    bool first = true;
    for (const TAdvisory& a : advisories.Items()) {
      out += std::string(first ? "" : ",") + "{\"key\":" + Json(a.Key) +
             ",\"title\":" + Json(a.Title) + ",\"description\":" + Json(a.Description) +
             ",\"link\":" + Json(a.Link) + ",\"enclosureUrl\":" + Json(a.EnclosureUrl) +
             ",\"enclosureType\":" + Json(a.EnclosureType) +
             ",\"enclosureLength\":" + std::to_string(a.EnclosureLength) +
             ",\"isNew\":" + (a.IsNew ? "true" : "false") + "}";
      first = false;
    }
    out += "]}\n";
  } else {
    out = Utf8(advisories.Title()) + "\n";
    for (const TAdvisory& a : advisories.Items()) {
      out += a.Key + "\t" + (a.IsNew ? "new" : "seen") + "\t" + Utf8(a.Title) + "\t" +
             Utf8(a.Link) + "\t" + Utf8(a.EnclosureUrl) + "\n";
    }
  }
  WriteOutput(out, json);
  return 0;
}

}  // namespace qgm::cli
