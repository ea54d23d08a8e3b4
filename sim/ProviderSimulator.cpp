#include "ProviderSimulator.h"

#include <httplib.h>
#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>

#include "HostileContent.h"
#include "LineServices.h"
#include "TcpServer.h"
#include "TestCertificates.h"
#include "core/platform/FileIo.h"
#include "core/util/CodePage.h"
#include "core/util/DateTime.h"

namespace corvalink::sim {
namespace {

constexpr const char* kApiPrefix = "/api/v1.5/";
constexpr const char* kXml = "text/xml; charset=utf-8";

std::string Base64(const std::string& in) {
  static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(in[i]) << 16) |
                       (static_cast<unsigned char>(in[i + 1]) << 8) |
                       static_cast<unsigned char>(in[i + 2]);
    out += table[v >> 18];
    out += table[(v >> 12) & 63];
    out += table[(v >> 6) & 63];
    out += table[v & 63];
  }
  if (i + 1 == in.size()) {
    const unsigned v = static_cast<unsigned char>(in[i]) << 16;
    out += table[v >> 18];
    out += table[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == in.size()) {
    const unsigned v =
        (static_cast<unsigned char>(in[i]) << 16) | (static_cast<unsigned char>(in[i + 1]) << 8);
    out += table[v >> 18];
    out += table[(v >> 12) & 63];
    out += table[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

std::string Base64Decode(const std::string& in) {
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (char c : in) {
    const int v = value(c);
    if (v < 0) break;
    buffer = (buffer << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((buffer >> bits) & 0xFF);
    }
  }
  return out;
}

std::string BasicUser(const httplib::Request& req) {
  const std::string auth = req.get_header_value("Authorization");
  if (auth.rfind("Basic ", 0) != 0) return {};
  const std::string decoded = Base64Decode(auth.substr(6));
  return decoded.substr(0, decoded.find(':'));
}

std::string PathWithQuery(const httplib::Request& req);

RequestRecord RecordOf(const httplib::Request& req) {
  return {PathWithQuery(req), BasicUser(req), req.get_header_value("User-Agent"),
          req.get_header_value("Cookie"), req.get_header_value("Accept")};
}

std::string PathWithQuery(const httplib::Request& req) {
  std::string p = req.path;
  char sep = '?';
  for (const auto& [k, v] : req.params) {
    p += sep + k + "=" + v;
    sep = '&';
  }
  return p;
}

}  // namespace

struct ProviderSimulator::Impl {
  std::unique_ptr<TestCertificates> certs;
  std::unique_ptr<httplib::SSLServer> https;
  SSL_CTX* pop3Tls = nullptr;
  std::unique_ptr<TcpServer> pop3, time, ftp;
  std::unique_ptr<httplib::Server> http;
  std::thread httpThread;
  std::thread httpsThread;
  std::mutex stopLock;
  std::condition_variable stopSignal;
  bool stopping = false;
  std::atomic<int> stallMs{0}, slowBodyPauseMs{0};

  // Sleeps up to `ms`, returning early when the simulator stops.
  void Stall(int ms) {
    std::unique_lock lk(stopLock);
    stopSignal.wait_for(lk, std::chrono::milliseconds(ms), [this] { return stopping; });
  }
  // Answers with a hostile kind that is not text: a redirect to the same
  // address by a relative or scheme-relative address (where the next
  // request draws afresh), an empty or a script address, or `body` held
  // back (for as long as ReadTimeout holds a reply) after the headers.
  // False for the text kinds and none.
  bool ServeOddReply(int kind, const httplib::Request& req, httplib::Response& res,
                     std::string body, const char* type) {
    if (kind >= kRedirectRelative && kind <= kRedirectScript) {
      const std::string target = PathWithQuery(req);
      res.status = 302;
      if (kind == kRedirectRelative) res.set_header("Location", target);
      if (kind == kRedirectSchemeRelative)
        res.set_header("Location", "//" + req.get_header_value("Host") + target);
      if (kind == kRedirectEmpty) res.set_header("Location", "");
      if (kind == kRedirectScript) res.set_header("Location", "javascript:alert(1)");
      return true;
    }
    if (kind != kStallAfterHeaders) return false;
    if (body.empty()) {
      // A provider of nothing is never asked for its bytes (the reply
      // would never end): the whole reply is held back instead.
      Stall(stallMs);
      res.set_content(body, type);
      return true;
    }
    auto shared = std::make_shared<std::string>(std::move(body));
    res.set_content_provider(shared->size(), type,
                             [shared, this](size_t offset, size_t length, httplib::DataSink& sink) {
                               if (offset == 0) Stall(stallMs);
                               return sink.write(shared->data() + offset,
                                                 std::min(length, shared->size() - offset));
                             });
    return true;
  }
};

ProviderSimulator::ProviderSimulator(SimulatorOptions options)
    : options_(std::move(options)),
      account_(options_.today != 0 ? options_.today : qgm::NowLocal()),
      impl_(std::make_unique<Impl>()),
      mailboxes_(account_.mailboxes) {
  SetPacing(options_.stallMs, options_.slowBodyPauseMs);
}

void ProviderSimulator::SetPacing(int stallMs, int slowBodyPauseMs) {
  impl_->stallMs = stallMs;
  impl_->slowBodyPauseMs = slowBodyPauseMs;
}

ProviderSimulator::~ProviderSimulator() {
  Stop();
  if (ownsStateDir_) {
    std::error_code ec;
    std::filesystem::remove_all(options_.stateDir, ec);
  }
}

void ProviderSimulator::SetScenario(Scenario scenario, int count) {
  std::lock_guard lk(lock_);
  scenario_ = scenario;
  scenarioCount_ = count;
}

void ProviderSimulator::SetCannedReply(const std::string& relative, int status, std::string body,
                                       std::vector<std::pair<std::string, std::string>> headers) {
  std::lock_guard lk(lock_);
  canned_[relative] = Canned{status, std::move(body), std::move(headers)};
}

void ProviderSimulator::ClearCannedReplies() {
  std::lock_guard lk(lock_);
  canned_.clear();
}

void ProviderSimulator::SetNotices(bool present) {
  std::lock_guard lk(lock_);
  notices_ = present;
}

Scenario ProviderSimulator::TakeScenario() {
  std::lock_guard lk(lock_);
  const Scenario s = scenario_;
  if (scenarioCount_ > 0 && --scenarioCount_ == 0) scenario_ = Scenario::Normal;
  if (s != Scenario::Normal) return s;
  const int drawn = ChaosDrawLocked(chaosFaults_.size());
  if (drawn < 0) return s;
  const Scenario fault = chaosFaults_[static_cast<size_t>(drawn)];
  ++chaosCounts_[fault];
  return fault;
}

int ProviderSimulator::ChaosDrawLocked(size_t kinds) {
  if (chaosRate_ <= 0 || kinds == 0) return -1;
  if (std::uniform_real_distribution<double>(0, 1)(chaosRandom_) >= chaosRate_) return -1;
  return static_cast<int>(std::uniform_int_distribution<size_t>(0, kinds - 1)(chaosRandom_));
}

void ProviderSimulator::SetChaos(double rate, uint64_t seed, std::vector<Scenario> faults) {
  std::lock_guard lk(lock_);
  chaosRate_ = rate;
  chaosRandom_.seed(seed);
  chaosFaults_ = std::move(faults);
  chaosCounts_.clear();
  chaosServiceCounts_.clear();
}

int ProviderSimulator::ChaosDraw(const char* service, std::initializer_list<const char*> kinds) {
  std::lock_guard lk(lock_);
  const int kind = ChaosDrawLocked(kinds.size());
  if (kind >= 0) ++chaosServiceCounts_[std::string(service) + ":" + kinds.begin()[kind]];
  return kind;
}

void ProviderSimulator::SetContentChaos(double rate, uint64_t seed) {
  std::lock_guard lk(lock_);
  contentRate_ = rate;
  contentRandom_.seed(seed);
  contentCounts_.clear();
}

int ProviderSimulator::ContentDraw(const char* service, std::span<const char* const> kinds) {
  std::lock_guard lk(lock_);
  if (contentRate_ <= 0 || kinds.empty()) return -1;
  if (std::uniform_real_distribution<double>(0, 1)(contentRandom_) >= contentRate_) return -1;
  const size_t kind = std::uniform_int_distribution<size_t>(0, kinds.size() - 1)(contentRandom_);
  ++contentCounts_[std::string(service) + ":" + kinds[kind]];
  return static_cast<int>(kind);
}

std::map<std::string, int> ProviderSimulator::ContentCounts() const {
  std::lock_guard lk(lock_);
  return contentCounts_;
}

std::map<std::string, int> ProviderSimulator::ChaosServiceCounts() const {
  std::lock_guard lk(lock_);
  return chaosServiceCounts_;
}

std::map<Scenario, int> ProviderSimulator::ChaosCounts() const {
  std::lock_guard lk(lock_);
  return chaosCounts_;
}

void ProviderSimulator::Record(RequestRecord r) {
  std::lock_guard lk(lock_);
  requests_.push_back(std::move(r));
}

std::vector<RequestRecord> ProviderSimulator::Requests() const {
  std::lock_guard lk(lock_);
  return requests_;
}

void ProviderSimulator::ClearRequests() {
  std::lock_guard lk(lock_);
  requests_.clear();
}

std::vector<std::string> ProviderSimulator::Pop3Commands() const {
  std::lock_guard lk(lock_);
  return pop3Commands_;
}

void ProviderSimulator::ClearPop3Commands() {
  std::lock_guard lk(lock_);
  pop3Commands_.clear();
}

std::string ProviderSimulator::ApiBase() const {
  return "https://localhost:" + std::to_string(httpsPort_) + kApiPrefix;
}

std::string ProviderSimulator::Describe() const {
  return "{\"caFile\":\"" + caFile_.string() + "\",\"apiBase\":\"" + ApiBase() +
         "\",\"httpsPort\":" + std::to_string(httpsPort_) +
         ",\"pop3Port\":" + std::to_string(pop3Port_) +
         ",\"timePort\":" + std::to_string(timePort_) + ",\"ftpPort\":" + std::to_string(ftpPort_) +
         ",\"httpPort\":" + std::to_string(httpPort_) + ",\"feedUrl\":\"" + FeedUrl() + "\"}";
}

std::string ProviderSimulator::FeedUrl() const {
  return "http://localhost:" + std::to_string(httpPort_) + "/network-status.rss";
}

std::string ProviderSimulator::HomeSite() const {
  return "http://localhost:" + std::to_string(httpPort_) + "/qgm/";
}

void ProviderSimulator::SetFeed(bool atom, int redirectStatus) {
  FeedOptions f;
  f.format = atom ? FeedFormat::Atom : FeedFormat::Rss2;
  f.redirectStatus = redirectStatus;
  SetFeed(f);
}

void ProviderSimulator::SetCallAnswer(int year, int month, CallAnswer answer) {
  std::lock_guard lk(lock_);
  callAnswers_[{year, month}] = answer;
}

void ProviderSimulator::ClearCallAnswers() {
  std::lock_guard lk(lock_);
  callAnswers_.clear();
}

void ProviderSimulator::SetMailboxes(std::vector<Mailbox> mailboxes) {
  std::lock_guard lk(lock_);
  mailboxes_ = std::move(mailboxes);
}

void ProviderSimulator::SetPop3Behaviour(Pop3Behaviour behaviour) {
  std::lock_guard lk(lock_);
  pop3Behaviour_ = behaviour;
}

void ProviderSimulator::SetFeed(FeedOptions options) {
  std::lock_guard lk(lock_);
  feed_ = std::move(options);
}

void ProviderSimulator::SetSpamStatus(const std::string& status) {
  std::lock_guard lk(lock_);
  account_.spamStatus = status;
}

void ProviderSimulator::SetHomeFiles(const std::string& version, const std::string& notice) {
  std::lock_guard lk(lock_);
  versionFile_ = version;
  noticeFile_ = notice;
}

DemoAccount ProviderSimulator::AccountNow() const {
  std::lock_guard lk(lock_);
  return account_;
}

void ProviderSimulator::SetToday(double today) {
  std::lock_guard lk(lock_);
  account_ = DemoAccount(today);
}

void ProviderSimulator::SetVersionStatus(int status) {
  std::lock_guard lk(lock_);
  versionStatus_ = status;
}

void ProviderSimulator::SetUpdateFile(const std::string& name, const std::string& body) {
  std::lock_guard lk(lock_);
  updateFiles_[name] = body;
}

void ProviderSimulator::OfferDemoUpdate() {
  SetUpdateFile("qgm9901.exe", "QGM demo update: a stand-in for a release file.\n");
  std::lock_guard lk(lock_);
  versionFile_ = "qgm9901.exe";
}

void ProviderSimulator::SetTimeBehaviour(int64_t offsetSeconds, int delayMs) {
  timeOffset_ = offsetSeconds;
  timeDelayMs_ = delayMs;
}

void ProviderSimulator::Start() {
  if (impl_->https) return;
  if (options_.stateDir.empty()) {
    std::random_device rd;
    options_.stateDir =
        std::filesystem::temp_directory_path() /
        ("corvalink-sim-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    ownsStateDir_ = true;
  }
  std::filesystem::create_directories(options_.stateDir);
  impl_->certs = std::make_unique<TestCertificates>();
  caFile_ = options_.stateDir / "corvalink-sim-ca.pem";
  if (!qgm::WriteFileAtomic(caFile_, impl_->certs->CaPem())) {
    throw std::runtime_error("cannot write " + caFile_.string());
  }

  auto server =
      std::make_unique<httplib::SSLServer>(impl_->certs->ServerCert(), impl_->certs->ServerKey());
  if (!server->is_valid()) throw std::runtime_error("the TLS server could not be set up");
  server->set_tcp_nodelay(true);
  server->set_keep_alive_max_count(100);

  server->Get(
      "/cgi-bin/showmyspamrate", [this](const httplib::Request& req, httplib::Response& res) {
        Record(RecordOf(req));
        const int hostile = ContentDraw("spam", kHttpKinds);
        const std::string& h = HostileText(hostile);
        std::string body;
        {
          std::lock_guard lk(lock_);
          body = req.get_param_value("textonly") == "1"
                     ? account_.publicAddress + h + "\n" + account_.spamStatus + h + "\n"
                     : "<html><body><h1>Spam rate</h1><p>" + account_.spamStatus + h +
                           "</p></body></html>";
        }
        const char* type = req.get_param_value("textonly") == "1" ? "text/plain" : "text/html";
        if (!impl_->ServeOddReply(hostile, req, res, body, type)) res.set_content(body, type);
      });
  server->Get(
      "/unmetered_radio_list.txt", [this](const httplib::Request& req, httplib::Response& res) {
        Record(RecordOf(req));
        const int hostile = ContentDraw("radio", kHttpKinds);
        const std::string body = AccountNow().RadioListText(hostile < kTextKinds ? hostile : -1);
        if (!impl_->ServeOddReply(hostile, req, res, body, "text/plain"))
          res.set_content(body, "text/plain");
      });
  server->Get("/cgi-bin/ch-usage", [this](const httplib::Request& req, httplib::Response& res) {
    Record(RecordOf(req));
    // The account as it is now: a test moves the calendar on meanwhile.
    const DemoAccount account = AccountNow();
    const std::string expected =
        "Basic " + Base64(account.phoneNumber + ":" + account.phonePassword);
    if (req.get_header_value("Authorization") != expected) {
      res.status = 401;
      res.set_header("WWW-Authenticate", "Basic realm=\"CallHaven\"");
      return;
    }
    // date=<long month name> <year>
    static const char* months[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
    const std::string date = req.get_param_value("date");
    const auto space = date.find(' ');
    int month = 0;
    for (int m = 0; m < 12; ++m) {
      if (date.substr(0, space) == months[m]) month = m + 1;
    }
    int year = space == std::string::npos ? 0 : std::atoi(date.c_str() + space + 1);
    CallAnswer answer = CallAnswer::Normal;
    {
      std::lock_guard lk(lock_);
      const auto it = callAnswers_.find({year, month});
      if (it != callAnswers_.end()) answer = it->second;
    }
    switch (ChaosDraw("calls", {"no header", "month 13", "500"})) {
      case 0:
        answer = CallAnswer::MissingHeader;
        break;
      case 1:
        answer = CallAnswer::BadMonth;
        break;
      case 2:
        answer = CallAnswer::Fail;
        break;
      default:
        break;
    }
    if (answer == CallAnswer::Fail) {
      res.status = 500;
      res.set_content("<html><body>Internal error</body></html>", "text/html");
      return;
    }
    if (answer == CallAnswer::EarlierMonth || answer == CallAnswer::LaterMonth) {
      const int step = answer == CallAnswer::EarlierMonth ? -1 : 1;
      month += step;
      if (month == 0) month = 12, --year;
      if (month == 13) month = 1, ++year;
    }
    const int hostile = ContentDraw("calls", kHttpKinds);
    const std::string csv =
        month ? account.CallMonthCsv(year, month, hostile < kTextKinds ? hostile : -1)
              : std::string();
    if (csv.empty() || req.get_param_value("mode") != "csv") {
      res.set_content("<html><body>No call records for " + date + "</body></html>", "text/html");
      return;
    }
    if (answer != CallAnswer::MissingHeader) {
      char name[64];
      std::snprintf(name, sizeof name, "attachment; filename=callhaven_calls_%04d-%02d.csv", year,
                    answer == CallAnswer::BadMonth ? 13 : month);
      res.set_header("Content-Disposition", name);
    }
    if (!impl_->ServeOddReply(hostile, req, res, csv, "text/csv")) res.set_content(csv, "text/csv");
  });

  server->Get(R"(/api/v1\.5/(.*))", [this](const httplib::Request& req, httplib::Response& res) {
    const std::string user = BasicUser(req);
    Record(RecordOf(req));
    const Scenario scenario = TakeScenario();
    // The account as it is now: a test moves the calendar on meanwhile.
    const DemoAccount account = AccountNow();
    const std::string expected = "Basic " + Base64(account.account + ":" + account.password);
    if (scenario == Scenario::WrongPassword || req.get_header_value("Authorization") != expected) {
      res.status = 401;
      res.set_header("WWW-Authenticate", "Basic realm=\"Corvalink customer API\"");
      res.set_content(
          "<?xml version=\"1.0\"?>\n<corvalink><error>Authentication failed</error></corvalink>\n",
          kXml);
      return;
    }
    switch (scenario) {
      case Scenario::ServerError:
        res.status = 500;
        res.set_content(
            "<?xml version=\"1.0\"?>\n<corvalink><error>Service temporarily "
            "unavailable</error></corvalink>\n",
            kXml);
        return;
      case Scenario::ReadTimeout:
        impl_->Stall(impl_->stallMs);
        res.set_content("<corvalink/>", kXml);
        return;
      case Scenario::ConnectionClosed:
        res.set_content_provider(1000, kXml,
                                 [](size_t, size_t, httplib::DataSink&) { return false; });
        return;
      case Scenario::RedirectLoop:
        res.status = 302;
        res.set_header("Location", req.path);
        return;
      case Scenario::MalformedBody:
        res.set_content("Service list follows: <<< not xml >>>", "text/plain");
        return;
      case Scenario::OversizedBody:
        res.set_chunked_content_provider(kXml, [](size_t, httplib::DataSink& sink) {
          static const std::string block(64 * 1024, 'x');
          return sink.write(block.data(), block.size());
        });
        return;
      default:
        break;
    }

    const std::string rest = req.matches[1];
    {
      std::lock_guard lk(lock_);
      if (const auto it = canned_.find(rest); it != canned_.end()) {
        res.status = it->second.status;
        for (const auto& [name, value] : it->second.headers) res.set_header(name, value);
        res.set_content(it->second.body, kXml);
        return;
      }
    }
    // The hostile content this reply meets, named for the reply.
    auto drawContent = [&](const char* reply) {
      if (scenario != Scenario::Normal) return -1;
      return ContentDraw(reply, kHttpKinds);
    };
    int hostile = -1;
    std::string body;
    if (rest.empty()) {
      DemoAccount view = account;
      {
        std::lock_guard lk(lock_);
        if (!notices_) view.notices.clear();
      }
      hostile = drawContent("notices");
      body = view.ServiceListXml(hostile < kTextKinds ? hostile : -1);
    } else {
      const auto slash = rest.find('/');
      const std::string id = rest.substr(0, slash);
      const std::string what = slash == std::string::npos ? "" : rest.substr(slash + 1);
      if (id != account.homeServiceId && id != account.mobileServiceId) {
        res.status = 404;
        res.set_content("<corvalink><error>No such service</error></corvalink>", kXml);
        return;
      }
      if (what == "usage") {
        hostile = drawContent("usage");
        body = account.UsageXml(id, hostile < kTextKinds ? hostile : -1);
      } else if (what == "service") {
        hostile = drawContent("service");
        body = account.ServiceXml(id, hostile < kTextKinds ? hostile : -1);
      } else if (what == "history") {
        int count = 31;
        if (req.has_param("count")) count = std::atoi(req.get_param_value("count").c_str());
        if (count < 1) count = 1;
        if (count > 5000) count = 5000;
        hostile = drawContent("history");
        body = account.HistoryXml(id, count, hostile < kTextKinds ? hostile : -1);
      } else {
        res.status = 404;
        res.set_content("<corvalink><error>Unknown request</error></corvalink>", kXml);
        return;
      }
    }
    if (scenario == Scenario::TruncatedBody) body.resize(body.size() / 2);
    if (scenario == Scenario::SlowBody) {
      auto shared = std::make_shared<std::string>(std::move(body));
      res.set_chunked_content_provider(
          kXml, [shared, this](size_t offset, httplib::DataSink& sink) {
            if (offset >= shared->size()) {
              sink.done();
              return true;
            }
            impl_->Stall(impl_->slowBodyPauseMs);
            const size_t n = std::min<size_t>(shared->size() / 8 + 1, shared->size() - offset);
            return sink.write(shared->data() + offset, n);
          });
      return;
    }
    if (impl_->ServeOddReply(hostile, req, res, body, kXml)) return;
    res.set_content(body, kXml);
  });

  const int port =
      options_.httpsPort > 0
          ? (server->bind_to_port("127.0.0.1", options_.httpsPort) ? options_.httpsPort : -1)
          : server->bind_to_any_port("127.0.0.1");
  if (port <= 0) throw std::runtime_error("cannot listen on the HTTPS port");
  httpsPort_ = port;
  impl_->https = std::move(server);
  impl_->httpsThread = std::thread([this] { impl_->https->listen_after_bind(); });
  // Until its loop runs, the server would ignore a stop request and then
  // block in accept for ever.
  while (!impl_->https->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  // Plain HTTP: the advisories feed and the program's home site.
  auto http = std::make_unique<httplib::Server>();
  http->set_tcp_nodelay(true);
  auto feed = [this](const httplib::Request& req, httplib::Response& res) {
    Record(RecordOf(req));
    FeedOptions f;
    {
      std::lock_guard lk(lock_);
      f = feed_;
    }
    const std::string here = "http://localhost:" + std::to_string(httpPort_);
    const bool home = req.path == "/network-status.rss";
    switch (ChaosDraw("feed", {"utf-16", "redirect loop", "500"})) {
      case 0:
        f.encoding = FeedEncoding::Utf16LE;
        break;
      case 1:
        f.redirectLoop = true;
        break;
      case 2:
        res.status = 500;
        res.set_content("<html><body>Internal error</body></html>", "text/html");
        return;
      default:
        break;
    }
    const int hostile = ContentDraw("feed", kHttpKinds);
    if (!req.has_header("Cookie")) res.set_header("Set-Cookie", "cvksession=feed42; Path=/");
    if (f.redirectLoop) {
      res.status = 302;
      res.set_header("Location", here + (home ? "/feeds/status.xml" : "/network-status.rss"));
      return;
    }
    if (f.redirectStatus != 0 && home) {
      res.status = f.redirectStatus;
      res.set_header("Location",
                     f.redirectLocation.empty() ? here + "/feeds/status.xml" : f.redirectLocation);
      return;
    }
    if (hostile >= kTextKinds && !f.redirectLoop && !(f.redirectStatus != 0 && home)) {
      const std::string odd = f.body ? *f.body : AccountNow().FeedXml(f.format);
      if (impl_->ServeOddReply(hostile, req, res, odd, "application/rss+xml")) return;
    }
    std::string body = f.body ? *f.body : AccountNow().FeedXml(f.format, hostile);
    if (f.encoding == FeedEncoding::Utf16LE || f.encoding == FeedEncoding::Utf16BE) {
      const bool little = f.encoding == FeedEncoding::Utf16LE;
      std::string wide = little ? "\xFF\xFE" : "\xFE\xFF";
      for (char16_t c : qgm::Widen1252(body)) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        wide += little ? std::string{lo, hi} : std::string{hi, lo};
      }
      body = std::move(wide);
    }
    const std::string etag = "\"" + std::to_string(std::hash<std::string>{}(body)) + "\"";
    const std::string modified = "Mon, 07 Dec 2026 09:00:00 GMT";
    res.set_header("ETag", etag);
    res.set_header("Last-Modified", modified);
    if (req.get_header_value("If-None-Match") == etag ||
        (!req.has_header("If-None-Match") &&
         req.get_header_value("If-Modified-Since") == modified)) {
      res.status = 304;
      return;
    }
    res.set_content(body,
                    f.format == FeedFormat::Atom ? "application/atom+xml" : "application/rss+xml");
  };
  http->Get("/network-status.rss", feed);
  http->Get("/feeds/status.xml", feed);
  http->Get("/qgm/version", [this](const httplib::Request& req, httplib::Response& res) {
    Record(RecordOf(req));
    const bool fail = ChaosDraw("version", {"500"}) == 0;
    const int hostile = fail ? -1 : ContentDraw("version", kHttpKinds);
    std::string body;
    {
      std::lock_guard lk(lock_);
      res.status = fail ? 500 : versionStatus_;
      body = res.status == 200 ? versionFile_ + HostileText(hostile)
                               : "<h1>Internal Server Error</h1>";
    }
    const char* type = res.status == 200 ? "text/plain" : "text/html";
    if (!impl_->ServeOddReply(hostile, req, res, body, type)) res.set_content(body, type);
  });
  http->Get(R"(/qgm/([A-Za-z0-9_.-]+\.exe))",
            [this](const httplib::Request& req, httplib::Response& res) {
              Record(RecordOf(req));
              std::lock_guard lk(lock_);
              const auto file = updateFiles_.find(req.matches[1].str());
              if (file == updateFiles_.end()) {
                res.status = 404;
                return;
              }
              res.set_content(file->second, "application/octet-stream");
            });
  http->Get("/qgm/notice.txt", [this](const httplib::Request& req, httplib::Response& res) {
    Record(RecordOf(req));
    const int hostile = ContentDraw("notice file", kHttpKinds);
    std::string body;
    {
      std::lock_guard lk(lock_);
      body = noticeFile_;
    }
    // Hostile text goes into the notice's reference line and its message
    // (a notice of the home site's own when none is set).
    if (hostile >= 0 && hostile < kTextKinds) {
      if (body.empty()) body = "HOME-NOTICE\nA notice from the program's home site.";
      const std::string& h = HostileText(hostile);
      const auto lf = body.find('\n');
      body = lf == std::string::npos ? body + h : body.substr(0, lf) + h + body.substr(lf) + h;
    }
    if (!impl_->ServeOddReply(hostile, req, res, body, "text/plain"))
      res.set_content(body, "text/plain");
  });
  httpPort_ = options_.httpPort > 0
                  ? (http->bind_to_port("127.0.0.1", options_.httpPort) ? options_.httpPort : -1)
                  : http->bind_to_any_port("127.0.0.1");
  if (httpPort_ <= 0) throw std::runtime_error("cannot listen on the HTTP port");
  impl_->http = std::move(http);
  impl_->httpThread = std::thread([this] { impl_->http->listen_after_bind(); });
  while (!impl_->http->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  impl_->pop3Tls = SSL_CTX_new(TLS_server_method());
  SSL_CTX_use_certificate(impl_->pop3Tls, impl_->certs->ServerCert());
  SSL_CTX_use_PrivateKey(impl_->pop3Tls, impl_->certs->ServerKey());
  impl_->pop3 = std::make_unique<TcpServer>(
      [this](Connection& c) {
        std::vector<Mailbox> boxes;
        Pop3Behaviour behaviour;
        {
          std::lock_guard lk(lock_);
          boxes = mailboxes_;
          behaviour = pop3Behaviour_;
        }
        // Hostile text in every message's sender, subject and status.
        if (const int hostile = ContentDraw("pop3", kTextOnlyKinds); hostile >= 0) {
          const std::string& h = HostileText(hostile);
          for (Mailbox& box : boxes) {
            for (MailMessage& m : box.messages) {
              m.from += h;
              m.subject += h;
              m.status += h;
            }
          }
        }
        switch (ChaosDraw("pop3", {"login refused", "closed mid message"})) {
          case 0:
            behaviour = Pop3Behaviour::RefuseLogin;
            break;
          case 1:
            behaviour = Pop3Behaviour::CloseMidTop;
            break;
          default:
            break;
        }
        ServePop3(c, boxes, behaviour, [this](const std::string& command) {
          std::lock_guard lk(lock_);
          pop3Commands_.push_back(command);
        });
      },
      impl_->pop3Tls);
  pop3Port_ = impl_->pop3->Start(options_.pop3Port);
  impl_->time = std::make_unique<TcpServer>([this](Connection& c) {
    ServeTime(c, timeOffset_, ChaosDraw("time", {"closes early"}) == 0 ? -2 : timeDelayMs_.load());
  });
  timePort_ = impl_->time->Start(options_.timePort);
  impl_->ftp = std::make_unique<TcpServer>(
      [rate = options_.ftpBytesPerSecond, limit = options_.ftpMaxSessions,
       sessions = std::make_shared<std::atomic<int>>(0)](Connection& c) {
        const int open = ++*sessions;
        if (limit > 0 && open > limit)
          c.Write("421 There are too many connected users, please try later.\r\n");
        else
          ServeFtp(c, rate);
        --*sessions;
      });
  ftpPort_ = impl_->ftp->Start(options_.ftpPort);
}

void ProviderSimulator::Stop() {
  if (!impl_->https) return;
  {
    std::lock_guard lk(impl_->stopLock);
    impl_->stopping = true;
  }
  impl_->stopSignal.notify_all();
  impl_->https->stop();
  if (impl_->httpsThread.joinable()) impl_->httpsThread.join();
  impl_->https.reset();
  if (impl_->http) {
    impl_->http->stop();
    if (impl_->httpThread.joinable()) impl_->httpThread.join();
    impl_->http.reset();
  }
  impl_->pop3.reset();
  impl_->time.reset();
  impl_->ftp.reset();
  if (impl_->pop3Tls) SSL_CTX_free(impl_->pop3Tls);
  impl_->pop3Tls = nullptr;
}

}  // namespace corvalink::sim
