#include "cli/UsageCommand.h"
#include "cli/CliSession.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProviderSimulator.h"
#include "cli/XmlDump.h"
#include "core/history/History.h"
#include "core/net/Endpoints.h"
#include "core/platform/FileIo.h"
#include "core/platform/ProcessValues.h"
#include "core/settings/SettingsStore.h"
#include "core/tray/NumberIcon.h"
#include "core/usage/BroadbandFigures.h"
#include "core/usage/Projection.h"
#include "core/usage/UsageService.h"
#include "core/util/CodePage.h"
#include "core/util/Format.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

const std::string kHelp =
    std::string(
        "usage: qgm-cli usage [options]\n"
        "\n"
        "Signs in to the usage API, fetches the usage and the plan details and\n"
        "prints them.\n"
        "\n") +
    kSessionOptionsHelp +
    "  --data-dir DIR         write the usage and service files into DIR\n"
    "  --icon FILE            write the tray picture as a PNG file\n"
    "  --icon-size N          its size in pixels (16, 20, 24 or 32; default 32)\n";

std::string J(const std::string& text1252) {
  return JsonString(Widen1252(text1252));
}
std::string U(const std::string& text1252) {
  return Cp1252ToUtf8(text1252);
}

// What the tray would show: amount and percentage left, days left, the hint.
struct Figures {
  TBroadbandFigures tab;
  std::string amountLeft, percentLeft, daysLeft, daysPercent, hint;
  TProjection projection;
};

std::string Number(long double mb) {
  return Format("%1.0f", {mb});
}

// "projection": null, or the paces in MB a day, the month's total at the
// recent pace and what it leaves, and when it runs out (local time).
std::string ProjectionJson(const TProjection& p) {
  if (!p.Available) return "null";
  return "{\"recentPerDay\":" + Number(p.RecentPerDayMB) +
         ",\"monthPerDay\":" + Number(p.MonthPerDayMB) +
         ",\"projectedTotal\":" + Number(p.ProjectedTotalMB) + ",\"runsOutAt\":" +
         (p.RunsOutAt ? "\"" + FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss", *p.RunsOutAt) + "\""
                      : std::string("null")) +
         ",\"leftAtRollover\":" +
         (p.LeftAtRolloverMB ? Number(*p.LeftAtRolloverMB) : std::string("null")) + "}";
}

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
    Say(stdout, "Notice%s: %s%s%s\n", n.Alert ? " (alert)" : "", U(n.Body).c_str(),
                n.LinkAddress.empty() ? "" : "  ", U(n.LinkAddress).c_str());
  }
  Say(stdout, "Usage line: %s\n", U(r.UsageLine).c_str());
  Say(stdout, "Amount left: %s%s%s\n", U(fig.amountLeft).c_str(),
              fig.percentLeft.empty() ? "" : " ", fig.percentLeft.c_str());
  Say(stdout, "Days left: %s\n", U(fig.daysLeft).c_str());
  if (const TLabelText line = ProjectionText(fig.projection); !line.Text.empty())
    Say(stdout, "%s\n", U(line.Text).c_str());
  std::string hint = U(fig.hint);
  for (size_t pos = 0; (pos = hint.find('\n', pos)) != std::string::npos; pos += 3)
    hint.replace(pos, 1, "\n  ");
  Say(stdout, "Tray hint:\n  %s\n", hint.c_str());
  Say(stdout, "Service: %s\n", U(service.ServiceId()).c_str());
  if (!d.Received) {
    Say(stdout, "Plan details: not available\n");
    return;
  }
  Say(stdout, "%s: %s\n", d.SpeedCaption.c_str(), U(d.Speed).c_str());
  Say(stdout, "Plan: %s\n", U(d.Plan).c_str());
  Say(stdout, "Uploads counted: %s\n", d.UploadsCounted.c_str());
  Say(stdout, "Carrier: %s\n", U(d.Carrier).c_str());
  Say(stdout, "Shaping: %s\n", U(d.Shaping).c_str());
  Say(stdout, "Capped: %s\n", U(d.Capped).c_str());
  Say(stdout, "Excess fee: %s\n", U(d.ExcessFee).c_str());
  Say(stdout, "Plan cost: %s\n", U(d.PlanCost).c_str());
}

void PrintJson(const TUsageFetchResult& r, const TUsageService& service, const TServiceDetails& d,
               const std::vector<TNoticeRequest>& notices, const Figures& fig) {
  std::string out = "{\"usageLine\":" + J(r.UsageLine) + ",\"serviceId\":" + J(service.ServiceId());
  out += ",\"amountLeft\":" + J(fig.amountLeft) + ",\"percentLeft\":" + J(fig.percentLeft) +
         ",\"daysLeft\":" + J(fig.daysLeft) + ",\"trayHint\":" + J(fig.hint) +
         ",\"projection\":" + ProjectionJson(fig.projection);
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
  TSessionOptions o;
  std::optional<std::string> icon;
  int iconSize = 32;
  if (AskedForHelp(argc, argv, kHelp)) return 0;
  const bool parsed =
      ParseSessionOptions(argc, argv, o, [&](const std::string& arg, const auto& value) {
        std::optional<std::string> v;
        if (arg == "--icon" && (v = value())) {
          icon = *v;
          return true;
        }
        if (arg == "--icon-size" && (v = value())) {
          iconSize = std::atoi(v->c_str());
          return iconSize >= 8 && iconSize <= 256;
        }
        return false;
      });
  if (!parsed) {
    std::fputs(kHelp.c_str(), stderr);
    return 2;
  }
  TCliSession session;
  if (const int failed = session.Open(o)) return failed;
  TUsageService& service = session.Service();
  TUsageRecord record;
  const TDateTime now = NowLocal();
  const TUsageFetchResult r = service.FetchUsage(o.account, {}, now, record);
  if (!r.Ok) {
    Say(stderr, "qgm-cli: %s\n", U(r.FailureText).c_str());
    return 1;
  }
  const TServiceDetails details = service.FetchServiceDetails(o.account);
  Figures figures = MakeFigures(r, record, now);
  // The projection goes by the month's days in the provider's history.
  THistory history;
  if (std::string document; service.FetchHistory(o.account, 31, document))
    history.LoadFromXml(document, now);
  figures.projection = ProjectUsage(record, history, now);
  if (o.json) {
    PrintJson(r, service, details, session.Notices(), figures);
  } else {
    PrintText(r, service, details, session.Notices(), figures);
  }
  if (icon) {
    // The tray's number: the nearest whole number to the percentage left.
    const TPixmap picture = DrawNumberIcon(static_cast<int>(record.PercentLeft.RoundToWhole()),
                                           iconSize, record.BarColour, 0);
    if (!WriteFileAtomic(*icon, EncodePng(picture))) {
      Say(stderr, "qgm-cli: cannot write %s\n", icon->c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace qgm::cli
