#pragma once
// The simulator's non-HTTP services: POP3 (served over TLS), the RFC 868
// time service and the FTP mirror with pub/test/10meg.test.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TcpServer.h"

namespace corvalink::sim {

struct MailMessage {
  MailMessage() = default;
  MailMessage(std::string f, std::string s, std::string st, std::string raw = {})
      : from(std::move(f)),
        subject(std::move(s)),
        status(std::move(st)),
        rawHeader(std::move(raw)) {}
  std::string from;
  std::string subject;
  std::string status;  // "U" unread, "RO" read; empty: no status line
  // Served in place of the header made from the fields above (CR LF line
  // ends), for header shapes such as lower-case names or folded lines.
  std::string rawHeader;
};

enum class Pop3Behaviour {
  Normal,
  RefuseLogin,       // every PASS is refused
  CloseMidTop,       // the connection closes halfway through a TOP reply
  Slow,              // every reply waits half a second
  SilentAfterLogin,  // logs in, then never answers another command
  HugeCount,         // STAT claims kHugeCount messages; the newest 150 unread
};

inline constexpr size_t kHugeCount = 1'000'000'000;

struct Mailbox {
  std::string user;
  std::string password;
  std::vector<MailMessage> messages;  // oldest first
};

// Serves one POP3 session over `c` for the given mailboxes; `onCommand`
// (when set) hears each command line as it arrives.
void ServePop3(Connection& c, const std::vector<Mailbox>& mailboxes,
               Pop3Behaviour behaviour = Pop3Behaviour::Normal,
               const std::function<void(const std::string&)>& onCommand = {});

// Sends the current time as four big-endian bytes since 1900 (UTC), offset
// by `offsetSeconds`, after `delayMs`; -1 sends nothing until the client
// gives up, -2 closes at once.
void ServeTime(Connection& c, int64_t offsetSeconds, int delayMs);

// Size of the mirror's test file.
inline constexpr int64_t kTestFileSize = 10'485'760;
// Byte `i` of the test file.
inline unsigned char TestFileByte(int64_t i) {
  return static_cast<unsigned char>((i * 31 + (i >> 12)) & 0xFF);
}

// Serves one anonymous FTP session: pub/test/10meg.test over PASV, at
// most `bytesPerSecond` a transfer (0: as fast as the line goes).
void ServeFtp(Connection& c, int64_t bytesPerSecond = 0);

}  // namespace corvalink::sim
