// One update's four usage-API requests against the simulator on loopback:
// the program's way (a fresh client and connection per request, servers
// verified against the system's CA store plus the simulator's CA) beside the
// same four requests over one reused connection as the floor.

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <memory>
#include <string>

#include "ProviderSimulator.h"
#include "core/net/HttpClient.h"
#include "core/net/TcpConnection.h"
#include "core/usage/UpdateCycle.h"
#include "core/usage/UsageService.h"

namespace {

struct Fixture {
  corvalink::sim::ProviderSimulator sim;
  std::unique_ptr<qgm::TNetContext> context;
  Fixture() {
    sim.Start();
    context = std::make_unique<qgm::TNetContext>(sim.CaFile().string());
  }
  qgm::TUsageServiceConfig ServiceConfig() {
    qgm::TUsageServiceConfig config;
    config.ApiBase = sim.ApiBase();
    config.Request.Context = context.get();
    return config;
  }
  std::vector<std::string> Urls() {
    const std::string base = sim.ApiBase();
    const std::string id = sim.Account().homeServiceId;
    return {base, base + id + "/usage", base + id + "/service",
            base + id + "/history?count=31&verbose=1"};
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

class NoNotices : public qgm::INoticeSink {
 public:
  void ShowNotice(const qgm::TNoticeRequest&) override {}
};

void BM_UpdateFreshConnections(benchmark::State& state) {
  Fixture& f = Shared();
  NoNotices sink;
  qgm::TUsageService service(f.ServiceConfig(), sink);
  const qgm::TUsageAccount account{"demo", "demo", qgm::kAccountHome};
  for (auto _ : state) {
    qgm::TUsageRecord record;
    const auto r = service.FetchUsage(account, {}, qgm::NowLocal(), record);
    if (!r.Ok) state.SkipWithError(r.FailureText.c_str());
    benchmark::DoNotOptimize(service.FetchServiceDetails(account));
    std::string history;
    if (!service.FetchHistory(account, 31, history)) state.SkipWithError("history failed");
  }
}

// The anchor: the same four GETs over one kept connection, no parsing.
void BM_UpdateReusedConnection(benchmark::State& state) {
  Fixture& f = Shared();
  const auto urls = f.Urls();
  CURL* curl = curl_easy_init();
  std::string body;
  curl_easy_setopt(curl, CURLOPT_CAINFO, f.sim.CaFile().c_str());
  curl_easy_setopt(curl, CURLOPT_USERPWD, "demo:demo");
  curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
  curl_easy_setopt(
      curl, CURLOPT_WRITEFUNCTION, +[](char* p, size_t s, size_t n, void* u) {
        static_cast<std::string*>(u)->append(p, s * n);
        return s * n;
      });
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  for (auto _ : state) {
    for (const auto& url : urls) {
      body.clear();
      curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
      if (curl_easy_perform(curl) != CURLE_OK) state.SkipWithError("request failed");
    }
    benchmark::DoNotOptimize(body.data());
  }
  curl_easy_cleanup(curl);
}

// One whole update as the tray program runs it: the cycle's handler with the
// usage steps, plan details, spam check and notice file.
class NullView : public qgm::IUpdateView {
 public:
  void SetStatus(const std::string& t) override { status = t; }
  std::string Status() const override { return status; }
  void SetBottomButton(const std::string&) override {}
  void SetRefreshEnabled(bool) override {}
  void ShowTray() override {}
  void DrawTrayNumber(int, uint32_t) override {}
  void SetTrayHint(const std::string&) override {}
  void RestoreTray() override {}
  void ShowAlertPicture(int, bool) override {}
  void ShowUsageFigures(const qgm::TBroadbandFigures&) override {}
  void ShowServiceDetails(const qgm::TServiceDetails&) override {}
  void SetPublicAddress(const std::string&) override {}
  bool WindowVisible() const override { return false; }
  std::string status;
};
class WallClock : public qgm::IClock {
 public:
  qgm::TDateTime Now() const override { return qgm::NowLocal(); }
  int64_t TickMs() const override { return 0; }
};
class IdleTimer : public qgm::ITimer {
 public:
  void SetInterval(int) override {}
  void Start() override { running = true; }
  void Stop() override { running = false; }
  bool Running() const override { return running; }
  bool running = false;
};

void BM_UpdateCycle(benchmark::State& state) {
  Fixture& f = Shared();
  NoNotices sink;
  qgm::TUsageService service(f.ServiceConfig(), sink);
  NullView view;
  WallClock clock;
  IdleTimer mainTimer, alertTimer;
  qgm::TDebugLog log;
  qgm::TSettings settings;
  settings.AccountName = "demo";
  settings.Password = "demo";
  qgm::TUpdateCycle cycle(settings, service, view, clock, mainTimer, alertTimer, sink, log,
                          {"https://localhost:" + std::to_string(f.sim.HttpsPort()),
                           f.sim.HomeSite() + "notice.txt",
                           f.context.get(),
                           {}});
  for (auto _ : state) {
    cycle.MainTimerTimer();
    if (view.status.rfind("  Last updated", 0) != 0) state.SkipWithError(view.status.c_str());
  }
}

// One request on a fresh connection, as every request is made: Arg(0) the
// plain-HTTP notice file (the anchor), Arg(1) the usage API over TLS with
// the session resumed from the one before.
void BM_OneFreshRequest(benchmark::State& state) {
  Fixture& f = Shared();
  const std::string url = state.range(0) ? f.sim.ApiBase() : f.sim.HomeSite() + "notice.txt";
  for (auto _ : state) {
    qgm::THttpClient client(*f.context);
    client.BasicAuthentication = true;
    client.Username = "demo";
    client.Password = "demo";
    benchmark::DoNotOptimize(client.Get(url));
  }
}

// One mail connection (TLS from the first byte, the greeting read): Arg(0)
// with a context of its own each time, so a fresh TLS setup and a full
// handshake (the anchor); Arg(1) with the shared context, whose TLS setup
// is built once and whose kept session the handshake resumes.
void BM_MailConnection(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    std::unique_ptr<qgm::TNetContext> own;
    if (state.range(0) == 0) own = std::make_unique<qgm::TNetContext>(f.sim.CaFile().string());
    qgm::TTcpConnection c(own ? *own : *f.context);
    c.Connect("localhost", f.sim.Pop3Port(), 5000, true);
    benchmark::DoNotOptimize(c.ReadLine(5000));
  }
}

BENCHMARK(BM_UpdateCycle)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UpdateFreshConnections)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UpdateReusedConnection)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OneFreshRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_MailConnection)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
