#pragma once
// POP3 over TLS from the first byte: log in with USER and PASS, STAT, the
// header lines of a message by "TOP n 0", then drop the connection (no QUIT).

#include <string>
#include <vector>

#include "core/net/NetErrors.h"
#include "core/net/TcpConnection.h"

namespace qgm {

// A server reply other than "+OK"; the message is the reply line.
class EPop3Error : public ENetError {
 public:
  using ENetError::ENetError;
};

class TPop3Client {
 public:
  explicit TPop3Client(TNetContext& context = TNetContext::Default());

  std::string Host;
  int Port = 995;
  std::string Username;
  std::string Password;
  int ConnectTimeoutMs = 15000;
  // Longest wait for a reply, and longest whole session from Connect on
  // (a mailbox's check). 0: the context's (TNetContext::Timeouts).
  int ReadTimeoutMs = 0;
  int DeadlineMs = 0;

  // Connects, reads the greeting and logs in. A user name or password
  // holding a CR, LF or NUL is refused (ENetError) before connecting.
  void Connect();
  // The number of messages in the mailbox.
  int CheckMessages();
  // The header lines of message `number` (1-based), dot-stuffing removed.
  std::vector<std::string> RetrieveHeader(int number);
  void Disconnect() { connection_.Close(); }
  bool Connected() const { return connection_.Connected(); }

  // The first number of a "+OK n size" STAT reply; -1 when there is none.
  static int ParseStatReply(const std::string& reply);
  // Takes one line of a multi-line reply into `lines` (dot-stuffing removed);
  // false for the closing "." line. Throws EPop3Error when the reply grows
  // beyond any real header.
  static bool TakeReplyLine(std::string line, std::vector<std::string>& lines, size_t& totalBytes);

 private:
  std::string Command(const std::string& line);
  void ExpectOk(const std::string& reply);

  TTcpConnection connection_;
};

}  // namespace qgm
