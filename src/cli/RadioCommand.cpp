#include "cli/RadioCommand.h"

#include <cstdio>
#include <memory>
#include <string>

#include "ProviderSimulator.h"
#include "cli/CliSession.h"
#include "cli/XmlDump.h"
#include "core/net/Endpoints.h"
#include "core/net/NetContext.h"
#include "core/platform/Folders.h"
#include "core/radio/Channels.h"
#include "core/radio/RadioList.h"
#include "core/usage/UpdateCycle.h"
#include "core/util/CodePage.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

const std::string kHelp =
    std::string(
        "usage: qgm-cli radio [options]\n"
        "\n"
        "Downloads the provider's list of unmetered radio channels and prints\n"
        "caption=address lines in the list's order.\n"
        "\n") +
    kSessionOptionsHelp +
    "  --default              only the provider's own channels (the defaults of a new list)\n";

}  // namespace

int RunRadioCommand(int argc, char** argv) {
  TSessionOptions o;
  bool defaults = false;
  if (AskedForHelp(argc, argv, kHelp)) return 0;
  if (!ParseSessionOptions(argc, argv, o, [&defaults](const std::string& arg, const auto&) {
        if (arg != "--default") return false;
        defaults = true;
        return true;
      })) {
    std::fputs(kHelp.c_str(), stderr);
    return 2;
  }
  TEndpoints endpoints;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  TProxySettings proxy;
  if (o.demo) {
    if (const int failed = StartDemoProvider(sim, endpoints)) return failed;
  } else {
    if (const int failed = LoadEndpointsFile(o.config, endpoints)) return failed;
    proxy = ProxyOf(LoadStoredSettings());
  }
  if (o.apiBase) endpoints.ApiBase = *o.apiBase;
  if (o.caFile) endpoints.CaFile = *o.caFile;

  TNetContext context(endpoints.CaFile);
  std::string failure;
  std::vector<TRadioChannel> list =
      DownloadRadioList(ApiHostOf(endpoints.ApiBase), proxy, &context, &failure);
  if (list.empty()) {
    Say(stderr, "qgm-cli: the radio list could not be fetched: %s\n",
                 failure.empty() ? "it holds no channel" : failure.c_str());
    return 1;
  }
  if (defaults) list = DefaultChannels(list);
  std::string out;
  if (o.json) {
    out = "[";
    for (size_t i = 0; i < list.size(); ++i) {
      out += std::string(i ? "," : "") + "{\"caption\":" + JsonString(Widen1252(list[i].Name)) +
             ",\"address\":" + JsonString(Widen1252(list[i].Address)) + "}";
    }
    out += "]\n";
  } else {
    for (const TRadioChannel& c : list)
      out += Cp1252ToUtf8(c.Name) + "=" + Cp1252ToUtf8(c.Address) + "\n";
  }
  WriteOutput(out, o.json);
  return 0;
}

}  // namespace qgm::cli
