#pragma once
// What the commands that talk to the usage API share: their common options,
// the endpoints, the demo provider, the account (given, stored or the
// demo's) and the usage service.

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ProviderSimulator.h"
#include "core/net/Endpoints.h"
#include "core/net/NetContext.h"
#include "core/settings/Settings.h"
#include "core/usage/UsageService.h"

namespace qgm::cli {

// The options every API command takes.
inline constexpr const char* kSessionOptionsHelp =
    "  --demo                 use the built-in simulated provider (account demo)\n"
    "  --account NAME         account name (default: the account the program stored)\n"
    "  --password PASS        password (seen by other local users while it runs: prefer\n"
    "                         QGM_PASSWORD in the environment or --password-stdin)\n"
    "  --password-stdin       read the password from the first line of standard input\n"
    "  --account-type N       0 Home / SOHO, 1 Business, 2 RoamMobile\n"
    "  --api-base URL         the usage API base address\n"
    "  --ca-file PATH         further trusted CA certificates (PEM)\n"
    "  --config FILE          endpoints file (default ~/.config/Corvalink/endpoints.conf)\n"
    "  --json                 print JSON\n";

struct TSessionOptions {
  bool demo = false;
  bool json = false;
  TUsageAccount account;
  std::optional<std::string> apiBase, caFile, config, dataDir;
};

// A command's own option: `value()` takes the argument that follows (empty
// when there is none). Returns false for an option it does not know.
using TExtraOption = std::function<bool(const std::string& arg,
                                        const std::function<std::optional<std::string>()>& value)>;

bool ParseSessionOptions(int argc, char** argv, TSessionOptions& o, const TExtraOption& extra);
// True (with `help` printed to standard output) when the arguments ask for
// help ("--help" or "-h").
bool AskedForHelp(int argc, char** argv, const std::string& help);

// A command's own options: flags and options taking a value. Returns -1 to
// go on, else the exit code (0 after printing the help for --help, 2 after
// printing it for an unknown option).
int ParseCommandOptions(
    int argc, char** argv, const char* help,
    std::initializer_list<std::pair<const char*, bool*>> flags,
    std::initializer_list<std::pair<const char*, std::optional<std::string>*>> values);

// The settings the program itself stored, only read: nothing is written back.
// Without `passwords` the desktop's keyring is not asked (those passwords
// stay empty), for a command that needs none.
TSettings LoadStoredSettings(bool passwords = true);

// The endpoints file (`config`, else the user's) over the defaults; 0, or 2
// with the reason printed.
int LoadEndpointsFile(const std::optional<std::string>& config, TEndpoints& endpoints);
// Starts the simulated provider on loopback and points every endpoint at
// it; 0, or 1 with the reason printed.
int StartDemoProvider(std::unique_ptr<corvalink::sim::ProviderSimulator>& sim,
                      TEndpoints& endpoints);
// The options of a command that reaches one of the provider's hosts:
// --json, --demo (the built-in simulated provider, started into `sim`, else
// the user's endpoints file) and `hostOption` with a value that replaces
// the endpoint `host`. Returns -1 to go on, otherwise the exit code (0
// after --help).
int ParseHostCommand(int argc, char** argv, const char* help, const char* hostOption,
                     std::string TEndpoints::*host, bool& json,
                     std::unique_ptr<corvalink::sim::ProviderSimulator>& sim,
                     TEndpoints& endpoints);

class PrintingSink : public INoticeSink {
 public:
  void ShowNotice(const TNoticeRequest& n) override { notices.push_back(n); }
  std::vector<TNoticeRequest> notices;
};

class TCliSession {
 public:
  // Sets everything up; 0 when ready, else the exit code (the reason is
  // printed). A demo session ignores --data-dir.
  int Open(TSessionOptions& o);
  TUsageService& Service() { return *service_; }
  const std::vector<TNoticeRequest>& Notices() const { return sink_.notices; }

 private:
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim_;
  std::unique_ptr<TNetContext> context_;
  PrintingSink sink_;
  std::unique_ptr<TUsageService> service_;
};

}  // namespace qgm::cli
