#include "cli/CliSession.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "core/net/Endpoints.h"
#include "core/platform/Folders.h"
#include "core/platform/ProcessValues.h"
#include "core/platform/SecretService.h"
#include "core/settings/SettingsStore.h"
#include "core/usage/UpdateCycle.h"
#include "core/util/CodePage.h"
#include "cli/TerminalText.h"

namespace qgm::cli {

bool AskedForHelp(int argc, char** argv, const std::string& help) {
  for (int i = 0; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
      std::fputs(help.c_str(), stdout);
      return true;
    }
  }
  return false;
}

bool ParseSessionOptions(int argc, char** argv, TSessionOptions& o, const TExtraOption& extra) {
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
      o.account.Name = ArgumentTo1252(*v);
    } else if (arg == "--password" && (v = value())) {
      o.account.Password = ArgumentTo1252(*v);
    } else if (arg == "--account-type" && (v = value())) {
      o.account.AccountType = std::atoi(v->c_str());
      if (o.account.AccountType < 0 || o.account.AccountType > 2) return false;
    } else if (arg == "--api-base" && (v = value())) {
      o.apiBase = *v;
    } else if (arg == "--ca-file" && (v = value())) {
      o.caFile = *v;
    } else if (arg == "--config" && (v = value())) {
      o.config = *v;
    } else if (arg == "--data-dir" && (v = value())) {
      o.dataDir = *v;
    } else if (!extra || !extra(arg, value)) {
      return false;
    }
  }
  return true;
}

int ParseCommandOptions(
    int argc, char** argv, const char* help,
    std::initializer_list<std::pair<const char*, bool*>> flags,
    std::initializer_list<std::pair<const char*, std::optional<std::string>*>> values) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(help, stdout);
      return 0;
    }
    bool known = false;
    for (const auto& [name, flag] : flags) {
      if (arg == name) *flag = known = true;
    }
    for (const auto& [name, value] : values) {
      if (arg == name && i + 1 < argc) {
        *value = argv[++i];
        known = true;
        break;
      }
    }
    if (!known) {
      std::fputs(help, stderr);
      return 2;
    }
  }
  return -1;
}

TSettings LoadStoredSettings(bool passwords) {
  const TFolders folders = UserFolders();
  if (folders.Config.empty())
    std::fputs(
        "qgm-cli: no home folder is known (HOME is not set and the password database has none): "
        "no stored settings are read\n",
        stderr);
  TRegistryStore registry(HiveFileIn(folders.Config));
  TAutostart autostart(folders.Autostart);
  TDebugLog log;
  // The passwords the program keeps in the desktop's keyring (read only:
  // the tool never saves settings).
  const auto keyring = passwords ? OpenSecretService() : nullptr;
  TSettingsStore store(registry, autostart, log, ProgramPath().string(), keyring.get());
  TSettings s;
  TStartupContext context;
  context.Now = NowLocal();
  store.LoadSettings(s, context);
  store.LoadMailboxes(s);
  store.LoadRadioList(s);
  return s;
}

int LoadEndpointsFile(const std::optional<std::string>& config, TEndpoints& endpoints) {
  std::string error;
  if (!LoadEndpoints(
          config ? std::filesystem::path(*config) : EndpointsFileIn(UserFolders().Config),
          endpoints, error)) {
    Say(stderr, "qgm-cli: %s\n", error.c_str());
    return 2;
  }
  return 0;
}

int ParseHostCommand(int argc, char** argv, const char* help, const char* hostOption,
                     std::string TEndpoints::*host, bool& json,
                     std::unique_ptr<corvalink::sim::ProviderSimulator>& sim,
                     TEndpoints& endpoints) {
  bool demo = false;
  std::optional<std::string> value;
  if (const int done = ParseCommandOptions(argc, argv, help, {{"--json", &json}, {"--demo", &demo}},
                                           {{hostOption, &value}});
      done >= 0)
    return done;
  if (const int failed =
          demo ? StartDemoProvider(sim, endpoints) : LoadEndpointsFile(std::nullopt, endpoints))
    return failed;
  if (value) endpoints.*host = *value;
  return -1;
}

int StartDemoProvider(std::unique_ptr<corvalink::sim::ProviderSimulator>& sim,
                      TEndpoints& endpoints) {
  try {
    sim = std::make_unique<corvalink::sim::ProviderSimulator>();
    sim->Start();
  } catch (const std::exception& e) {
    Say(stderr, "qgm-cli: the simulated provider could not start: %s\n", e.what());
    return 1;
  }
  endpoints.ApiBase = sim->ApiBase();
  endpoints.CaFile = sim->CaFile().string();
  endpoints.FeedsUrl = sim->FeedUrl();
  endpoints.HomeSite = sim->HomeSite();
  endpoints.MailHost = "localhost:" + std::to_string(sim->Pop3Port());
  endpoints.TimeHost = "127.0.0.1:" + std::to_string(sim->TimePort());
  endpoints.MirrorHost = "127.0.0.1:" + std::to_string(sim->FtpPort());
  endpoints.VoicemailSender = sim->Account().voicemailSender;
  return 0;
}

int TCliSession::Open(TSessionOptions& o) {
  TEndpoints endpoints;
  if (const int failed = LoadEndpointsFile(o.config, endpoints)) return failed;
  if (o.apiBase) endpoints.ApiBase = *o.apiBase;
  if (o.caFile) endpoints.CaFile = *o.caFile;

  // The demo runs its own provider on loopback and touches no user files.
  if (o.demo) {
    if (const int failed = StartDemoProvider(sim_, endpoints)) return failed;
    if (o.account.Name.empty())
      o.account = {sim_->Account().account, sim_->Account().password, o.account.AccountType};
    o.dataDir.reset();
  }
  TProxySettings proxy;
  if (o.account.Name.empty() && !o.demo) {
    // The account, and the proxy, that the program itself would use.
    const TSettings s = LoadStoredSettings();
    o.account = AccountOf(s);
    proxy = ProxyOf(s);
  }
  if (o.account.Name.empty()) {
    std::fputs("qgm-cli: an account is needed (--account NAME, a stored account, or --demo)\n",
               stderr);
    return 2;
  }
  if (o.account.Password.empty()) {
    if (const char* p = std::getenv("QGM_PASSWORD")) o.account.Password = ArgumentTo1252(p);
  }
  if (!endpoints.ApiBase.empty() && endpoints.ApiBase.back() != '/') endpoints.ApiBase += '/';

  // A data folder that is missing is made private; one that exists keeps
  // its mode. One that cannot be made is said at once rather than found
  // out by files never written.
  if (o.dataDir && !MakeNamedFolder(*o.dataDir)) {
    Say(stderr, "qgm-cli: the data folder %s cannot be made\n", o.dataDir->c_str());
    return 2;
  }

  context_ = std::make_unique<TNetContext>(endpoints.CaFile);
  TUsageServiceConfig config;
  config.ApiBase = endpoints.ApiBase;
  config.Request.Context = context_.get();
  config.Request.Proxy = proxy;
  if (o.dataDir) config.DataFolder = *o.dataDir;
  service_ = std::make_unique<TUsageService>(config, sink_);
  return 0;
}

}  // namespace qgm::cli
