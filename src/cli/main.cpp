// qgm-cli: the program's work without a window, for scripts and for looking
// at what the program makes of a server's replies.

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/AdvisoriesCommand.h"
#include "cli/CallsCommand.h"
#include "cli/DownloadTestCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/MailCommand.h"
#include "cli/MaintenanceCommands.h"
#include "cli/NetworkCommand.h"
#include "cli/PasswordArguments.h"
#include "cli/RadioCommand.h"
#include "cli/UsageCommand.h"
#include "cli/XmlDump.h"
#include "core/platform/FileIo.h"
#include "core/platform/ProcessValues.h"
#include "cli/TerminalText.h"

namespace {

constexpr const char* kUsage =
    "usage: qgm-cli <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  usage        fetch the usage and plan details (see qgm-cli usage --help)\n"
    "  history      fetch the usage history (see qgm-cli history --help)\n"
    "  advisories   fetch the network advisories feed (see qgm-cli advisories --help)\n"
    "  mail         check the mailboxes for mail and voicemail (see qgm-cli mail --help)\n"
    "  radio        list the provider's unmetered radio channels (see qgm-cli radio --help)\n"
    "  calls        CallHaven call usage of the last 28 months (see qgm-cli calls --help)\n"
    "  network      the network adapters and their addresses (see qgm-cli network --help)\n"
    "  download-test  the four-stream download test (see qgm-cli download-test --help)\n"
    "  version-check  whether a newer release exists (see qgm-cli version-check --help)\n"
    "  clock        this computer's clock against the time server (see qgm-cli clock --help)\n"
    "  xml FILE     print the element tree built from the reply saved in FILE\n"
    "  version      print the program version\n";

int CmdXml(int argc, char** argv) {
  if (argc != 1) {
    std::fputs("usage: qgm-cli xml FILE\n", stderr);
    return 2;
  }
  const auto bytes = qgm::ReadWholeFile(argv[0]);
  if (!bytes) {
    qgm::cli::Say(stderr, "qgm-cli: cannot read %s: %s\n", argv[0], std::strerror(errno));
    return 2;
  }
  if (bytes->empty()) {
    qgm::cli::Say(stderr, "qgm-cli: %s is empty\n", argv[0]);
    return 2;
  }
  const auto tree = qgm::BuildXmlTree1252(*bytes);
  const std::string text = qgm::cli::DumpXmlTree(*tree);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // First of all, before a password argument has been up a moment longer
  // than it must: from here on the commands read a copy.
  qgm::cli::TPasswordArguments args;
  std::string error;
  if (!args.Take(argc, argv, error)) {
    qgm::cli::Say(stderr, "qgm-cli: %s\n", error.c_str());
    return 2;
  }
  argc = args.Count();
  argv = args.Values();
  qgm::InitLocale();
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view command = argv[1];
  if (command == "xml") return CmdXml(argc - 2, argv + 2);
  if (command == "usage") return qgm::cli::RunUsageCommand(argc - 2, argv + 2);
  if (command == "history") return qgm::cli::RunHistoryCommand(argc - 2, argv + 2);
  if (command == "advisories") return qgm::cli::RunAdvisoriesCommand(argc - 2, argv + 2);
  if (command == "mail") return qgm::cli::RunMailCommand(argc - 2, argv + 2);
  if (command == "radio") return qgm::cli::RunRadioCommand(argc - 2, argv + 2);
  if (command == "calls") return qgm::cli::RunCallsCommand(argc - 2, argv + 2);
  if (command == "network") return qgm::cli::RunNetworkCommand(argc - 2, argv + 2);
  if (command == "download-test") return qgm::cli::RunDownloadTestCommand(argc - 2, argv + 2);
  if (command == "version-check") return qgm::cli::RunVersionCheckCommand(argc - 2, argv + 2);
  if (command == "clock") return qgm::cli::RunClockCommand(argc - 2, argv + 2);
  if (command == "version") {
    std::puts(qgm::VersionText().c_str());
    return 0;
  }
  if (command == "help" || command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  qgm::cli::Say(stderr, "qgm-cli: unknown command '%s'\n\n%s", argv[1], kUsage);
  return 2;
}
