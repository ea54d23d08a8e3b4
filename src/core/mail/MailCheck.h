#pragma once
// New mail and voicemail in the provider's mailboxes, read from the headers
// of the newest messages over POP3 with TLS. The provider delivers
// voicemail as mail from one fixed sender.

#include <string>
#include <vector>

#include "core/debug/DebugLog.h"
#include "core/settings/Settings.h"

namespace qgm {

class TNetContext;

struct TMailServer {
  std::string Host;
  int Port = 995;
  std::string VoicemailSender;  // the address voicemail comes from
  TNetContext* Context = nullptr;
  int ConnectTimeoutMs = 15000;
  int ReadTimeoutMs = 30000;
  // The scan reads at most this many of the newest messages a check: a
  // server claiming millions must not keep the window thread for hours.
  int MaxScannedMessages = 100;
  // Where a scan cut short says so; nullptr: nowhere.
  const TDebugLog* Log = nullptr;
};

// "host" or "host:port" (995 when none is given).
TMailServer MailServerAt(const std::string& hostAndPort, std::string voicemailSender,
                         TNetContext* context);

// Bits of a check result.
enum TMailFlags { mfNewMail = 1, mfVoicemail = 2 };

// 0, mfNewMail, or mfNewMail | mfVoicemail. Any failure ends the check with
// what was found so far; `failure` (when given) gets the reason.
int CheckMailbox(const TMailServer& server, const std::string& login, const std::string& password,
                 std::string* failure = nullptr);
// True when the login and STAT succeed.
bool TestMailbox(const TMailServer& server, const std::string& login, const std::string& password,
                 std::string* failure = nullptr);

// The flags one message's header lines give, as the scan reads them.
int ScanHeader(const std::vector<std::string>& lines, const std::string& voicemailSender);

// "a has mail.", "a and b have mail.", "a, b and c have mail.", with
// "\nYou also have voicemail." after it.
std::string MailHint(const std::vector<std::string>& names, bool voicemail);

struct TMailCheckResult {
  std::vector<int> Results;        // one per mailbox, in order
  std::vector<std::string> Names;  // the mailboxes with mail
  bool Voicemail = false;
  std::string Hint;  // empty when no mailbox has mail
  // Per mailbox: why it could not be checked ("" when it could).
  std::vector<std::string> Failures;
};
TMailCheckResult CheckMailboxes(const TMailServer& server,
                                const std::vector<TMailboxSetting>& mailboxes);

}  // namespace qgm
