#include "cli/UsageCommand.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProviderSimulator.h"
#include "cli/XmlDump.h"
#include "core/net/Endpoints.h"
#include "core/platform/ProcessValues.h"
#include "core/settings/SettingsStore.h"
#include "core/tray/NumberIcon.h"
#include "core/usage/BroadbandFigures.h"
#include "core/usage/UsageService.h"
#include "core/util/CodePage.h"
#include "core/util/Format.h"

namespace qgm::cli {
namespace {

constexpr const char* kHelp =
    "usage: qgm-cli usage [options]\n"
    "\n"
    "Signs in to the usage API, fetches the usage and the plan details and\n"
    "prints them.\n"
    "\n"
    "  --demo                 use the built-in simulated provider (account demo)\n"
    "  --account NAME         account name (default: the account the program stored)\n"
    "  --password PASS        password (or the QGM_PASSWORD environment variable)\n"
    "  --account-type N       0 Home / SOHO, 1 Business, 2 RoamMobile\n"
    "  --api-base URL         the usage API base address\n"
    "  --ca-file PATH         further trusted CA certificates (PEM)\n"
    "  --config FILE          endpoints file (default ~/.config/Corvalink/endpoints.conf)\n"
    "  --data-dir DIR         write the usage and service files into DIR\n"
    "  --json                 print JSON\n"
    "  --icon FILE            write the tray picture as a PNG file\n"
    "  --icon-size N          its size in pixels (16, 20, 24 or 32; default 32)\n";

struct Options {
  bool demo = false;
  bool json = false;
  TUsageAccount account;
  std::optional<std::string> apiBase, caFile, config, dataDir, icon;
  int iconSize = 32;
};

class PrintingSink : public INoticeSink {
 public:
  void ShowNotice(const TNoticeRequest& n) override { notices.push_back(n); }
  std::vector<TNoticeRequest> notices;
};

std::string J(const std::string& text1252) {
  return JsonString(Widen1252(text1252));
}
std::string U(const std::string& text1252) {
  return Cp1252ToUtf8(text1252);
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    std::optional<std::string> v;
    if (arg == "--demo") {
      o.demo = true;
    } else if (arg == "--json") {
      o.json = true;
    } else if (arg == "--account" && (v = value())) {
      o.account.Name = Utf8ToCp1252(*v);
    } else if (arg == "--password" && (v = value())) {
      o.account.Password = Utf8ToCp1252(*v);
    } else if (arg == "--account-type" && (v = value())) {
      o.account.AccountType = std::atoi(v->c_str());
      if (o.account.AccountType < 0 || o.account.AccountType > 2) return false;
    } else if (arg == "--api-base" && (v = value())) {
      o.apiBase = *v;
    } else if (arg == "--ca-file" && (v = value())) {
      o.caFile = *v;
    } else if (arg == "--config" && (v = value())) {
      o.config = *v;
    } else if (arg == "--icon" && (v = value())) {
      o.icon = *v;
    } else if (arg == "--icon-size" && (v = value())) {
      o.iconSize = std::atoi(v->c_str());
      if (o.iconSize < 8 || o.iconSize > 256) return false;
    } else if (arg == "--data-dir" && (v = value())) {
      o.dataDir = *v;
    } else {
      return false;
    }
  }
  return true;
}

// What the tray would show: amount and percentage left, days left, the hint.
struct Figures {
  TBroadbandFigures tab;
  std::string amountLeft, percentLeft, daysLeft, daysPercent, hint;
};

Figures MakeFigures(const TUsageFetchResult& r, const TUsageRecord& record, TDateTime now) {
  Figures f;
  f.tab = ShowUsageFigures(r.ParseCode, record);
  f.amountLeft = f.tab.AmtLeft.Text.empty() ? f.tab.Allowance.Text : f.tab.AmtLeft.Text;
  f.percentLeft = record.PercentLeft >= Money() ? Format("%1.0n%%", {record.PercentLeft}) : "";
  f.daysLeft = f.tab.DaysLeft.Text;
  f.hint = BuildTrayHint(record, now, now, "");
  return f;
}

void PrintText(const TUsageFetchResult& r, const TUsageService& service, const TServiceDetails& d,
               const std::vector<TNoticeRequest>& notices, const Figures& fig) {
  for (const auto& n : notices) {
    std::printf("Notice%s: %s%s%s\n", n.Alert ? " (alert)" : "", U(n.Body).c_str(),
                n.LinkAddress.empty() ? "" : "  ", U(n.LinkAddress).c_str());
  }
  std::printf("Usage line: %s\n", U(r.UsageLine).c_str());
  std::printf("Amount left: %s%s%s\n", U(fig.amountLeft).c_str(),
              fig.percentLeft.empty() ? "" : " ", fig.percentLeft.c_str());
  std::printf("Days left: %s\n", U(fig.daysLeft).c_str());
  std::string hint = U(fig.hint);
  for (size_t pos = 0; (pos = hint.find('\n', pos)) != std::string::npos; pos += 3)
    hint.replace(pos, 1, "\n  ");
  std::printf("Tray hint:\n  %s\n", hint.c_str());
  std::printf("Service: %s\n", U(service.ServiceId()).c_str());
  if (!d.Received) {
    std::printf("Plan details: not available\n");
    return;
  }
  std::printf("%s: %s\n", d.SpeedCaption.c_str(), U(d.Speed).c_str());
  std::printf("Plan: %s\n", U(d.Plan).c_str());
  std::printf("Uploads counted: %s\n", d.UploadsCounted.c_str());
  std::printf("Carrier: %s\n", U(d.Carrier).c_str());
  std::printf("Shaping: %s\n", U(d.Shaping).c_str());
  std::printf("Capped: %s\n", U(d.Capped).c_str());
  std::printf("Excess fee: %s\n", U(d.ExcessFee).c_str());
  std::printf("Plan cost: %s\n", U(d.PlanCost).c_str());
}

void PrintJson(const TUsageFetchResult& r, const TUsageService& service, const TServiceDetails& d,
               const std::vector<TNoticeRequest>& notices, const Figures& fig) {
  std::string out = "{\"usageLine\":" + J(r.UsageLine) + ",\"serviceId\":" + J(service.ServiceId());
  out += ",\"amountLeft\":" + J(fig.amountLeft) + ",\"percentLeft\":" + J(fig.percentLeft) +
         ",\"daysLeft\":" + J(fig.daysLeft) + ",\"trayHint\":" + J(fig.hint);
  out += ",\"notices\":[";
  for (size_t i = 0; i < notices.size(); ++i) {
    const auto& n = notices[i];
    out += std::string(i ? "," : "") + "{\"message\":" + J(n.Body) +
           ",\"reference\":" + J(n.Reference) + ",\"link\":" + J(n.LinkAddress) +
           ",\"alert\":" + (n.Alert ? "true" : "false") + "}";
  }
  out += "],\"service\":";
  if (d.Received) {
    out += "{\"speedCaption\":" + J(d.SpeedCaption) + ",\"speed\":" + J(d.Speed) +
           ",\"plan\":" + J(d.Plan) +
           ",\"uploadsMetered\":" + (d.UploadsMetered ? "true" : "false") +
           ",\"carrier\":" + J(d.Carrier) + ",\"shaping\":" + J(d.Shaping) +
           ",\"capped\":" + J(d.Capped) + ",\"excessFee\":" + J(d.ExcessFee) +
           ",\"planCost\":" + J(d.PlanCost) + "}";
  } else {
    out += "null";
  }
  out += "}\n";
  std::fputs(out.c_str(), stdout);
}

}  // namespace

int RunUsageCommand(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  TEndpoints endpoints;
  std::string error;
  if (!LoadEndpoints(o.config ? std::filesystem::path(*o.config) : DefaultEndpointsFile(),
                     endpoints, error)) {
    std::fprintf(stderr, "qgm-cli: %s\n", error.c_str());
    return 2;
  }
  if (o.apiBase) endpoints.ApiBase = *o.apiBase;
  if (o.caFile) endpoints.CaFile = *o.caFile;

  // The demo runs its own provider on loopback and touches no user files.
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  if (o.demo) {
    try {
      sim = std::make_unique<corvalink::sim::ProviderSimulator>();
      sim->Start();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "qgm-cli: the simulated provider could not start: %s\n", e.what());
      return 1;
    }
    endpoints.ApiBase = sim->ApiBase();
    endpoints.CaFile = sim->CaFile().string();
    if (o.account.Name.empty())
      o.account = {sim->Account().account, sim->Account().password, o.account.AccountType};
    o.dataDir.reset();
  }
  TProxySettings proxy;
  if (o.account.Name.empty() && !o.demo) {
    // The account, and the proxy, that the program itself would use. Only
    // read: nothing is written back.
    TRegistryStore registry(DefaultHiveFile());
    TAutostart autostart;
    TDebugLog log;
    TSettingsStore store(registry, autostart, log, ProgramPath().string());
    TSettings s;
    TStartupContext context;
    context.Now = NowLocal();
    store.LoadSettings(s, context);
    o.account = {s.AccountName, s.Password, s.AccountType};
    proxy = {s.UseProxy, s.ProxyAddress, s.ProxyPort, s.ProxyUsername, s.ProxyPassword};
  }
  if (o.account.Name.empty()) {
    std::fputs("qgm-cli: an account is needed (--account NAME, a stored account, or --demo)\n",
               stderr);
    return 2;
  }
  if (o.account.Password.empty()) {
    if (const char* p = std::getenv("QGM_PASSWORD")) o.account.Password = Utf8ToCp1252(p);
  }
  if (!endpoints.ApiBase.empty() && endpoints.ApiBase.back() != '/') endpoints.ApiBase += '/';

  TNetContext context(endpoints.CaFile);
  TUsageServiceConfig config;
  config.ApiBase = endpoints.ApiBase;
  config.Request.Context = &context;
  config.Request.Proxy = proxy;
  if (o.dataDir) config.DataFolder = *o.dataDir;
  PrintingSink sink;
  TUsageService service(config, sink);
  TUsageRecord record;
  const TDateTime now = NowLocal();
  const TUsageFetchResult r = service.FetchUsage(o.account, {}, now, record);
  if (!r.Ok) {
    std::fprintf(stderr, "qgm-cli: %s\n", U(r.FailureText).c_str());
    return 1;
  }
  const TServiceDetails details = service.FetchServiceDetails(o.account);
  const Figures figures = MakeFigures(r, record, now);
  if (o.json) {
    PrintJson(r, service, details, sink.notices, figures);
  } else {
    PrintText(r, service, details, sink.notices, figures);
  }
  if (o.icon) {
    // The tray's number: the nearest whole number to the percentage left.
    const TPixmap icon = DrawNumberIcon(static_cast<int>(record.PercentLeft.RoundToWhole()),
                                        o.iconSize, record.BarColour, 0);
    if (!WritePng(*o.icon, icon)) {
      std::fprintf(stderr, "qgm-cli: cannot write %s\n", o.icon->c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace qgm::cli
