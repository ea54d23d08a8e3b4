#include "cli/CallsCommand.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ProviderSimulator.h"
#include "cli/CliSession.h"
#include "core/callusage/CallDownload.h"
#include "core/callusage/CallMonths.h"
#include "core/net/NetContext.h"
#include "core/platform/Folders.h"
#include "core/usage/UpdateCycle.h"
#include "core/util/CodePage.h"
#include "core/util/Format.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

constexpr const char* kHelp =
    "usage: qgm-cli calls [--phone NUMBER --password PW] [--data-dir DIR] [--json] [--demo] "
    "[--reset]\n"
    "\n"
    "Downloads the CallHaven call months as the program does and prints the\n"
    "last 28 months: calls and costs by type and the totals. Without --data-dir\n"
    "the months are fetched into a temporary folder (the whole history); with\n"
    "it they are kept there and only what is missing since the newest file is\n"
    "fetched. Without --phone the number and password the program stored are\n"
    "used (only read).\n"
    "\n"
    "  --phone NUMBER         the CallHaven phone number\n"
    "  --password PW          its password (or the QGM_PASSWORD environment variable;\n"
    "                         other local users see an argument while it runs)\n"
    "  --password-stdin       read the password from the first line of standard input\n"
    "  --data-dir DIR         keep the month files in DIR\n"
    "  --reset                fetch the whole history again\n"
    "  --json                 print JSON\n"
    "  --demo                 the simulated provider's CallHaven account\n";

std::string Cost(Money m) {
  return Format("%1.2f", {m});
}

}  // namespace

int RunCallsCommand(int argc, char** argv) {
  bool json = false, demo = false, reset = false;
  std::optional<std::string> phone, password, dataDir;
  if (const int done = ParseCommandOptions(
          argc, argv, kHelp, {{"--json", &json}, {"--demo", &demo}, {"--reset", &reset}},
          {{"--phone", &phone}, {"--password", &password}, {"--data-dir", &dataDir}});
      done >= 0)
    return done;
  TEndpoints endpoints;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  TCallDownload d;
  if (demo) {
    if (const int failed = StartDemoProvider(sim, endpoints)) return failed;
    d.Phone = sim->Account().phoneNumber;
    d.Password = sim->Account().phonePassword;
  } else {
    if (const int failed = LoadEndpointsFile(std::nullopt, endpoints)) return failed;
    if (!phone) {
      const TSettings s = LoadStoredSettings();
      d.Phone = s.CallhavenNo1;
      d.Password = s.CallhavenNo2;
      d.Proxy = ProxyOf(s);
    }
  }
  if (phone) d.Phone = ArgumentTo1252(*phone);
  if (password) d.Password = ArgumentTo1252(*password);
  if (d.Password.empty())
    if (const char* p = std::getenv("QGM_PASSWORD")) d.Password = ArgumentTo1252(p);
  if (d.Phone.empty() || d.Password.empty()) {
    std::fputs(
        "qgm-cli: a CallHaven phone number and password are needed (--phone, stored, or --demo)\n",
        stderr);
    return 2;
  }

  // The months go to the data folder given, else to a folder of this run.
  std::filesystem::path folder;
  std::unique_ptr<std::filesystem::path, void (*)(std::filesystem::path*)> scratch(
      nullptr, [](auto* p) {
        std::error_code ec;
        std::filesystem::remove_all(*p, ec);
        delete p;
      });
  if (dataDir && !demo) {
    folder = *dataDir;
    if (!MakeNamedFolder(folder)) {
      Say(stderr, "qgm-cli: the data folder %s cannot be made\n", folder.string().c_str());
      return 2;
    }
  } else {
    char tmpl[] = "/tmp/qgm-calls-XXXXXX";
    if (!::mkdtemp(tmpl)) {
      std::fputs("qgm-cli: no temporary folder\n", stderr);
      return 1;
    }
    folder = tmpl;
    scratch.reset(new std::filesystem::path(folder));
  }
  TNetContext context(endpoints.CaFile);
  d.ApiHost = ApiHostOf(endpoints.ApiBase);
  d.Context = &context;
  d.Folder = folder;
  const TDateTime today = demo ? sim->Account().Today() : NowLocal();
  // Where the last run reached: the oldest month whose file is here.
  TDateTime refetch = EncodeDate(2000, 1, 1);
  if (!reset) {
    TCallhaven existing;
    LoadCallMonths(existing, folder, today);
    for (int i = 0; i < existing.Count(); ++i) {
      if (std::filesystem::exists(
              CallFileName(folder, existing.Items(i).Year, existing.Items(i).Month))) {
        refetch = EncodeDate(existing.Items(i).Year, existing.Items(i).Month, 1);
        break;
      }
    }
  }
  const int saved = DownloadCallMonths(d, today, refetch);
  TCallhaven calls;
  const TCallMonthsLoaded loaded = LoadCallMonths(calls, folder, today);
  for (const std::string& refused : loaded.Refused)
    Say(stderr, "qgm-cli: %s left out (%s)\n", (folder / refused.substr(0, refused.find(':'))).c_str(),
        refused.substr(refused.find(':') + 2).c_str());
  if (saved == 0 && calls.Count() == 0) {
    std::fputs("qgm-cli: no CallHaven month could be fetched\n", stderr);
    return 1;
  }

  std::string out = json ? "[" : "";
  for (int i = 0; i < calls.Count(); ++i) {
    const TCallMonth& m = calls.Items(i);
    char month[16];
    std::snprintf(month, sizeof month, "%4.4d-%2.2d", m.Year, m.Month);
    if (json) {
      out += std::string(i ? "," : "") + "{\"month\":\"" + month +
             "\",\"national\":{\"calls\":" + std::to_string(m.NationalCalls) + ",\"cost\":\"" +
             Cost(m.NationalCost) + "\"},\"mobile\":{\"calls\":" + std::to_string(m.MobileCalls) +
             ",\"cost\":\"" + Cost(m.MobileCost) +
             "\"},\"callhaven\":{\"calls\":" + std::to_string(m.CallhavenCalls) +
             "},\"other\":{\"calls\":" + std::to_string(m.OtherCalls) + ",\"cost\":\"" +
             Cost(m.OtherCost) + "\"},\"totalCalls\":" + std::to_string(m.TotalCalls) +
             ",\"totalCost\":\"" + Cost(m.TotalCost) + "\"}";
    } else {
      out += std::string(month) + "  national " + std::to_string(m.NationalCalls) + " " +
             Cost(m.NationalCost) + "  mobile " + std::to_string(m.MobileCalls) + " " +
             Cost(m.MobileCost) + "  callhaven " + std::to_string(m.CallhavenCalls) + "  other " +
             std::to_string(m.OtherCalls) + " " + Cost(m.OtherCost) + "  total " +
             std::to_string(m.TotalCalls) + " " + Cost(m.TotalCost) + "\n";
    }
  }
  if (json) out += "]\n";
  WriteOutput(out, json);
  return 0;
}

}  // namespace qgm::cli
