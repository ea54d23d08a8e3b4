#include "cli/MailCommand.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "ProviderSimulator.h"
#include "cli/CliSession.h"
#include "cli/XmlDump.h"
#include "core/mail/MailCheck.h"
#include "core/net/Endpoints.h"
#include "core/net/NetContext.h"
#include "core/platform/Folders.h"
#include "core/util/CodePage.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

constexpr const char* kHelp =
    "usage: qgm-cli mail [--account NAME --password PW] [--mail-host HOST[:PORT]]\n"
    "                    [--ca-file PATH] [--json] [--demo]\n"
    "\n"
    "Checks the provider's mailboxes over POP3 with TLS as an update does and\n"
    "prints one line per mailbox (none, mail, or mail and voicemail), then the\n"
    "hint the tray would show. Without --account the mailboxes the program\n"
    "stored are checked (only read). A mailbox that cannot be reached counts as\n"
    "no mail, its reason on standard error.\n"
    "\n"
    "  --account NAME         one mailbox's login name (the part before any \"@\")\n"
    "  --password PW          its password (or the QGM_PASSWORD environment variable;\n"
    "                         other local users see an argument while it runs)\n"
    "  --password-stdin       read the password from the first line of standard input\n"
    "  --mail-host HOST[:PORT] the POP3 server (default: the endpoints file's mail-host)\n"
    "  --ca-file PATH         further trusted CA certificates (PEM)\n"
    "  --json                 print JSON\n"
    "  --demo                 the simulated provider's mailboxes demo and family\n";

const char* ResultText(int result) {
  if (result & mfVoicemail) return "mail and voicemail";
  return result & mfNewMail ? "mail" : "none";
}

std::string Utf8(const std::string& cp1252) {
  return Cp1252ToUtf8(cp1252);
}

}  // namespace

int RunMailCommand(int argc, char** argv) {
  bool json = false, demo = false;
  std::optional<std::string> account, password, mailHost, caFile;
  if (const int done =
          ParseCommandOptions(argc, argv, kHelp, {{"--json", &json}, {"--demo", &demo}},
                              {{"--account", &account},
                               {"--password", &password},
                               {"--mail-host", &mailHost},
                               {"--ca-file", &caFile}});
      done >= 0)
    return done;

  TEndpoints endpoints;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  std::vector<TMailboxSetting> mailboxes;
  if (demo) {
    if (const int failed = StartDemoProvider(sim, endpoints)) return failed;
    mailboxes = {{"demo", "demo", ""}, {"family", "family", ""}};
  } else if (const int failed = LoadEndpointsFile(std::nullopt, endpoints)) {
    return failed;
  }
  if (mailHost) endpoints.MailHost = *mailHost;
  if (caFile) endpoints.CaFile = *caFile;
  if (account) {
    std::string name = ArgumentTo1252(*account);
    name = name.substr(0, name.find('@'));
    std::string pw = password ? ArgumentTo1252(*password) : std::string();
    if (pw.empty())
      if (const char* p = std::getenv("QGM_PASSWORD")) pw = ArgumentTo1252(p);
    mailboxes = {{name, pw, ""}};
  } else if (!demo) {
    mailboxes = LoadStoredSettings().Mailboxes;
  }
  if (mailboxes.empty()) {
    std::fputs("qgm-cli: no mailbox to check (--account NAME, stored mailboxes, or --demo)\n",
               stderr);
    return 2;
  }

  TNetContext context(endpoints.CaFile);
  const TMailServer server = MailServerAt(endpoints.MailHost, endpoints.VoicemailSender, &context);
  const TMailCheckResult r = CheckMailboxes(server, mailboxes);
  size_t failed = 0;
  for (size_t i = 0; i < mailboxes.size(); ++i) {
    if (r.Failures[i].empty()) continue;
    ++failed;
    Say(stderr, "qgm-cli: %s: %s\n", Utf8(mailboxes[i].Name).c_str(),
                 r.Failures[i].c_str());
  }

  std::string out;
  if (json) {
    out = "{\"mailboxes\":[";
    for (size_t i = 0; i < mailboxes.size(); ++i) {
      out += std::string(i ? "," : "") + "{\"name\":" + JsonString(Widen1252(mailboxes[i].Name)) +
             ",\"result\":\"" + ResultText(r.Results[i]) + "\"}";
    }
    out += "],\"hint\":" + JsonString(Widen1252(r.Hint)) + "}\n";
  } else {
    for (size_t i = 0; i < mailboxes.size(); ++i)
      out += Utf8(mailboxes[i].Name) + ": " + ResultText(r.Results[i]) + "\n";
    if (!r.Hint.empty()) out += Utf8(r.Hint) + "\n";
  }
  WriteOutput(out, json);
  // Only when no check could run at all is it a failure of the command.
  return failed == mailboxes.size() ? 1 : 0;
}

}  // namespace qgm::cli
