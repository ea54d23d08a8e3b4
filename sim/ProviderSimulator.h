#pragma once
// The provider's servers on loopback: the usage API over HTTPS with Basic
// authentication, with switchable failure scenarios for tests. Runs in a
// thread of its own; usable in-process (tests, the demo) or as corvalink-sim.

#include <atomic>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "DemoAccount.h"
#include "LineServices.h"

namespace corvalink::sim {

enum class Scenario {
  Normal,
  WrongPassword,     // every request is refused with 401
  ServerError,       // 500 with an "<error>" body
  ReadTimeout,       // the reply is held back longer than the client waits
  ConnectionClosed,  // headers promise a body, then the connection closes
  SlowBody,          // the body trickles in over about a second
  RedirectLoop,      // 302 back to the same address
  MalformedBody,     // 200 with text that is not XML
  OversizedBody,     // 200 with an endless body
  TruncatedBody,     // 200 with the first half of the reply, cut mid-element
};

// How the call-usage service answers one requested month.
enum class CallAnswer {
  Normal,         // that month, or no file before the history starts
  EarlierMonth,   // the month before the one asked for
  LaterMonth,     // the month after the one asked for
  MissingHeader,  // the CSV without its Content-Disposition
  BadMonth,       // a file named for month 13
  Fail,           // 500
};

struct SimulatorOptions {
  int httpsPort = 0;  // 0: any free port (for every port)
  int pop3Port = 0;
  int timePort = 0;
  int ftpPort = 0;
  int httpPort = 0;  // feeds and the program's home site (plain HTTP)
  // Folder for the CA file; empty: a new temporary folder.
  std::filesystem::path stateDir;
  double today = 0;           // TDateTime; 0: the local date
  int stallMs = 20000;        // how long ReadTimeout holds a reply back
  int slowBodyPauseMs = 100;  // SlowBody's pause between its pieces
  // The mirror's pace per transfer, bytes a second; 0: unpaced.
  int64_t ftpBytesPerSecond = 0;
  // Sessions the mirror serves at once; one more is greeted with 421 and
  // closed, as a server limiting its clients does. 0: no limit.
  int ftpMaxSessions = 0;
};

struct RequestRecord {
  std::string path;  // with the query
  std::string user;  // from Basic authentication; empty when none was sent
  std::string userAgent;
  std::string cookie;  // the Cookie header; empty when none was sent
  std::string accept;  // the Accept header; empty when none was sent
};

enum class FeedEncoding { Cp1252, Utf16LE, Utf16BE };

// How the advisories feed is served.
struct FeedOptions {
  FeedFormat format = FeedFormat::Rss2;
  // UTF-16 bodies start with their byte-order mark.
  FeedEncoding encoding = FeedEncoding::Cp1252;
  int redirectStatus = 0;     // 301, 302 or 307 sends the feed address elsewhere first
  bool redirectLoop = false;  // two addresses that redirect to each other
  // The redirect's Location as sent (a relative one, say); empty: the
  // other feed address in full.
  std::string redirectLocation;
  // Served (in the chosen encoding) in place of the demo feed; "" is an
  // empty body.
  std::optional<std::string> body;
};

class ProviderSimulator {
 public:
  explicit ProviderSimulator(SimulatorOptions options = {});
  ~ProviderSimulator();  // stops the servers
  ProviderSimulator(const ProviderSimulator&) = delete;
  ProviderSimulator& operator=(const ProviderSimulator&) = delete;

  // Throws std::runtime_error when a port cannot be bound.
  void Start();
  void Stop();

  int HttpsPort() const { return httpsPort_; }
  int Pop3Port() const { return pop3Port_; }
  int TimePort() const { return timePort_; }
  int FtpPort() const { return ftpPort_; }
  int HttpPort() const { return httpPort_; }
  std::string FeedUrl() const;   // "http://localhost:<port>/network-status.rss"
  std::string HomeSite() const;  // "http://localhost:<port>/qgm/"
  // The feed as Atom instead of RSS; `redirectStatus` 301, 302 or 307 sends
  // the feed address elsewhere first (0: no redirect).
  void SetFeed(bool atom, int redirectStatus = 0);
  void SetFeed(FeedOptions options);
  // The spam-rate page's status line (beginning "N" means no spam).
  void SetSpamStatus(const std::string& status);
  // Bodies of the home site's "version" and "notice.txt" files.
  void SetHomeFiles(const std::string& version, const std::string& notice);
  // The status the "version" file is served with (200; 500 sends an error
  // page instead).
  void SetVersionStatus(int status);
  // An update file on the home site: GET <home site><name> sends `body`.
  void SetUpdateFile(const std::string& name, const std::string& body);
  // The time service's clock runs `offsetSeconds` ahead and answers after
  // `delayMs` (kTimeSilent: never; kTimeCloses: closes without a word).
  void SetTimeBehaviour(int64_t offsetSeconds, int delayMs);
  static constexpr int kTimeSilent = -1;
  static constexpr int kTimeCloses = -2;
  // The demo's home site: a version file naming a newer release and that
  // release's file.
  void OfferDemoUpdate();
  std::string ApiBase() const;  // "https://localhost:<port>/api/v1.5/"
  const std::filesystem::path& CaFile() const { return caFile_; }
  // One JSON line with the CA file and every port.
  std::string Describe() const;

  DemoAccount& Account() { return account_; }
  // A copy taken under the lock, for the server threads.
  DemoAccount AccountNow() const;
  // Moves the simulated "now" to `today` (a TDateTime): the account as it
  // is that day. Not while requests are being served.
  void SetToday(double today);
  // The POP3 server's mailboxes (the demo account's until set) and how it
  // behaves.
  void SetMailboxes(std::vector<Mailbox> mailboxes);
  void SetPop3Behaviour(Pop3Behaviour behaviour);
  // How the call-usage request for (year, month) is answered; the others
  // stay normal. ClearCallAnswers puts every month back.
  void SetCallAnswer(int year, int month, CallAnswer answer);
  void ClearCallAnswers();

  // Applies `scenario` to the next `count` API requests (-1: until changed).
  void SetScenario(Scenario scenario, int count = -1);
  // Changes how long ReadTimeout holds a reply back and SlowBody pauses
  // (the options' stallMs and slowBodyPauseMs) from the next request on.
  void SetPacing(int stallMs, int slowBodyPauseMs);
  // Chaos: while no scenario is set, each API request meets one of
  // `faults` with probability `rate`, drawn from a generator seeded with
  // `seed` (the same seed and requests give the same faults). A rate of 0
  // ends it.
  void SetChaos(double rate, uint64_t seed, std::vector<Scenario> faults);
  // How many requests met each fault so far.
  std::map<Scenario, int> ChaosCounts() const;
  // The same for the other services while chaos runs, by "service:fault":
  // the feed (UTF-16, redirect loop, 500), POP3 (refused login, closed mid
  // message), the call months (no header, month 13, 500), the time server
  // (closes at once) and the version file (500).
  std::map<std::string, int> ChaosServiceCounts() const;
  // Hostile content: while no scenario is set and chaos leaves a request
  // alone, each reply of every service (the usage API's notices, usage,
  // service and history replies, the feed, the radio list, the call
  // months, the version and notice files, the spam-rate page, POP3's
  // headers) meets one kind of HostileContent.h with probability `rate`,
  // drawn from a generator of its own seeded with `seed`. A rate of 0 ends
  // it.
  void SetContentChaos(double rate, uint64_t seed);
  // How many replies met each kind so far, by "service:kind".
  std::map<std::string, int> ContentCounts() const;
  void SetNotices(bool present);
  // Serves `body` with `status` (and extra headers) for the API address
  // `relative` (after "/api/v1.5/", without the query) once the request is
  // authenticated, in place of the demo account's reply.
  void SetCannedReply(const std::string& relative, int status, std::string body,
                      std::vector<std::pair<std::string, std::string>> headers = {});
  void ClearCannedReplies();
  std::vector<RequestRecord> Requests() const;
  void ClearRequests();
  // Every command line the POP3 server received, in order of arrival.
  std::vector<std::string> Pop3Commands() const;
  void ClearPop3Commands();

 private:
  struct Impl;
  // Which scenario the next request meets (counting it down, or drawn by
  // the chaos mode).
  Scenario TakeScenario();
  // While chaos runs: whether this request of `service` fails, and with
  // which of `kinds` (its index; counted as "service:kind").
  int ChaosDraw(const char* service, std::initializer_list<const char*> kinds);
  // The draw itself, under the lock: which of `kinds` fails, or -1.
  int ChaosDrawLocked(size_t kinds);
  // While content chaos runs: which of `kinds` (an index of kHostileKinds)
  // this reply of `service` meets, or -1; counted as "service:kind".
  int ContentDraw(const char* service, std::span<const char* const> kinds);
  void Record(RequestRecord r);

  SimulatorOptions options_;
  DemoAccount account_;
  std::unique_ptr<Impl> impl_;
  int httpsPort_ = 0;
  int pop3Port_ = 0;
  int timePort_ = 0;
  int ftpPort_ = 0;
  int httpPort_ = 0;
  std::string versionFile_ = "*";
  std::string noticeFile_;
  int versionStatus_ = 200;
  std::map<std::string, std::string> updateFiles_;
  std::atomic<int64_t> timeOffset_{0};
  std::atomic<int> timeDelayMs_{0};
  std::filesystem::path caFile_;
  bool ownsStateDir_ = false;

  mutable std::mutex lock_;
  FeedOptions feed_;
  std::vector<Mailbox> mailboxes_;
  std::map<std::pair<int, int>, CallAnswer> callAnswers_;
  Pop3Behaviour pop3Behaviour_ = Pop3Behaviour::Normal;
  Scenario scenario_ = Scenario::Normal;
  double chaosRate_ = 0;
  std::mt19937_64 chaosRandom_;
  std::vector<Scenario> chaosFaults_;
  std::map<Scenario, int> chaosCounts_;
  std::map<std::string, int> chaosServiceCounts_;
  double contentRate_ = 0;
  std::mt19937_64 contentRandom_;
  std::map<std::string, int> contentCounts_;
  int scenarioCount_ = -1;
  bool notices_ = true;
  std::vector<RequestRecord> requests_;
  std::vector<std::string> pop3Commands_;
  struct Canned {
    int status;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
  };
  std::map<std::string, Canned> canned_;
};

}  // namespace corvalink::sim
