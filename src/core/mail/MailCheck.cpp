#include "core/mail/MailCheck.h"

#include <algorithm>
#include <cctype>

#include "core/net/Endpoints.h"
#include "core/net/NetContext.h"
#include "core/net/Pop3Client.h"

namespace qgm {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void Configure(TPop3Client& client, const TMailServer& server, const std::string& login,
               const std::string& password) {
  client.Host = server.Host;
  client.Port = server.Port;
  client.Username = login;
  client.Password = password;
  client.ConnectTimeoutMs = server.ConnectTimeoutMs;
  client.ReadTimeoutMs = server.ReadTimeoutMs;
}

TNetContext& ContextOf(const TMailServer& server) {
  return server.Context ? *server.Context : TNetContext::Default();
}

}  // namespace

TMailServer MailServerAt(const std::string& hostAndPort, std::string voicemailSender,
                         TNetContext* context) {
  TMailServer server;
  std::tie(server.Host, server.Port) = SplitHostPort(hostAndPort, server.Port);
  server.VoicemailSender = std::move(voicemailSender);
  server.Context = context;
  return server;
}

int ScanHeader(const std::vector<std::string>& lines, const std::string& voicemailSender) {
  const std::string sender = Upper(voicemailSender);
  int flags = 0;
  for (const std::string& raw : lines) {
    const std::string line = Upper(raw);
    if (line.rfind("FROM:", 0) == 0) {
      // After the fifth character: somewhere past "FROM:".
      if (!sender.empty() && line.find(sender, 5) != std::string::npos) flags |= mfVoicemail;
    } else if (line.rfind("STATUS:", 0) == 0) {
      if (line.find(" U", 7) != std::string::npos)
        flags |= mfNewMail;
      else
        break;  // a seen message: nothing more to read
    }
  }
  return flags;
}

int CheckMailbox(const TMailServer& server, const std::string& login, const std::string& password,
                 std::string* failure) {
  TPop3Client client(ContextOf(server));
  Configure(client, server, login, password);
  int result = 0;
  try {
    client.Connect();
    const int count = client.CheckMessages();
    const int oldest = std::max(count - std::max(server.MaxScannedMessages, 1), 0);
    int n = count;
    for (; n > oldest; --n) {
      const int flags = ScanHeader(client.RetrieveHeader(n), server.VoicemailSender);
      if (!(flags & mfNewMail)) break;  // seen, or without a status line
      result = flags;
      if (flags & mfVoicemail) break;
    }
    if (n == oldest && oldest > 0 && server.Log && server.Log->Enabled()) {
      server.Log->Write("Mail check: " + login + " holds " + std::to_string(count) +
                        " messages; only the newest " + std::to_string(count - oldest) +
                        " were read.");
    }
  } catch (const std::exception& e) {
    if (failure) *failure = e.what();
  }
  // Dropped without a goodbye.
  client.Disconnect();
  return result;
}

bool TestMailbox(const TMailServer& server, const std::string& login, const std::string& password,
                 std::string* failure) {
  TPop3Client client(ContextOf(server));
  Configure(client, server, login, password);
  bool ok = false;
  try {
    client.Connect();
    client.CheckMessages();
    ok = true;
  } catch (const std::exception& e) {
    if (failure) *failure = e.what();
  }
  client.Disconnect();
  return ok;
}

std::string MailHint(const std::vector<std::string>& names, bool voicemail) {
  if (names.empty()) return {};
  std::string hint;
  if (names.size() == 1) {
    hint = names[0] + " has mail.";
  } else {
    for (size_t i = 0; i + 2 < names.size(); ++i) hint += names[i] + ", ";
    hint += names[names.size() - 2] + " and " + names.back() + " have mail.";
  }
  if (voicemail) hint += "\nYou also have voicemail.";
  return hint;
}

TMailCheckResult CheckMailboxes(const TMailServer& server,
                                const std::vector<TMailboxSetting>& mailboxes) {
  TMailCheckResult r;
  for (const TMailboxSetting& m : mailboxes) {
    std::string failure;
    const int result = CheckMailbox(server, m.Name, m.Password, &failure);
    r.Results.push_back(result);
    r.Failures.push_back(failure);
    if (result != 0) r.Names.push_back(m.Name);
    if (result & mfVoicemail) r.Voicemail = true;
  }
  r.Hint = MailHint(r.Names, r.Voicemail);
  return r;
}

}  // namespace qgm
