#include "LineServices.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

namespace corvalink::sim {

// ---------------------------------------------------------------------------
// POP3

namespace {

// The header and the empty line that ends it: what "TOP n 0" sends.
std::string MessageHeader(const MailMessage& m, size_t number) {
  if (!m.rawHeader.empty()) return m.rawHeader + "\r\n";
  std::string h = "Return-Path: <" + m.from + ">\r\n";
  h += "From: " + m.from + "\r\n";
  h += "To: customer@corvalink.com\r\n";
  h += "Subject: " + m.subject + "\r\n";
  h += "Message-ID: <" + std::to_string(number) + "@sim.corvalink>\r\n";
  if (!m.status.empty()) h += "Status: " + m.status + "\r\n";
  h += ".dot-stuffed: header line\r\n";
  return h + "\r\n";
}

std::string DotStuff(const std::string& text) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line[0] == '.') line.insert(0, ".");
    out += line + "\r\n";
    pos = end == std::string::npos ? text.size() : end + 2;
  }
  return out;
}

}  // namespace

void ServePop3(Connection& c, const std::vector<Mailbox>& mailboxes, Pop3Behaviour behaviour,
               const std::function<void(const std::string&)>& onCommand) {
  if (!c.Write("+OK Corvalink simulated POP3 server ready\r\n")) return;
  std::string user;
  const Mailbox* box = nullptr;
  const bool huge = behaviour == Pop3Behaviour::HugeCount;
  std::string line;
  while (c.ReadLine(line)) {
    if (onCommand) onCommand(line);
    const std::string command = line.substr(0, line.find(' '));
    const std::string arg =
        line.find(' ') == std::string::npos ? "" : line.substr(line.find(' ') + 1);
    std::string reply;
    if (command == "USER") {
      user = arg;
      reply = "+OK\r\n";
    } else if (command == "PASS") {
      box = nullptr;
      for (const auto& m : mailboxes) {
        if (m.user == user && m.password == arg) box = &m;
      }
      if (behaviour == Pop3Behaviour::RefuseLogin) box = nullptr;
      reply = box ? "+OK logged in\r\n" : "-ERR [AUTH] invalid user name or password\r\n";
      if (box && behaviour == Pop3Behaviour::SilentAfterLogin) {
        if (!c.Write(reply)) return;
        while (c.ReadLine(line)) {
        }
        return;
      }
    } else if (command == "QUIT") {
      c.Write("+OK bye\r\n");
      return;
    } else if (!box) {
      reply = "-ERR not logged in\r\n";
    } else if (command == "STAT") {
      const size_t count = huge ? kHugeCount : box->messages.size();
      reply = "+OK " + std::to_string(count) + " " + std::to_string(count * 1200) + "\r\n";
    } else if (command == "TOP") {
      const size_t n = static_cast<size_t>(std::atoll(arg.c_str()));
      if (n < 1 || n > (huge ? kHugeCount : box->messages.size())) {
        reply = "-ERR no such message\r\n";
      } else {
        const MailMessage m = huge ? MailMessage("a@x", "mail", n + 150 > kHugeCount ? "U" : "RO")
                                   : box->messages[n - 1];
        reply = "+OK\r\n" + DotStuff(MessageHeader(m, n)) + ".\r\n";
        if (behaviour == Pop3Behaviour::CloseMidTop) {
          c.Write(reply.substr(0, reply.size() / 2));
          return;
        }
      }
    } else if (command == "NOOP") {
      reply = "+OK\r\n";
    } else {
      reply = "-ERR unknown command\r\n";
    }
    if (behaviour == Pop3Behaviour::Slow)
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (!c.Write(reply)) return;
  }
}

// ---------------------------------------------------------------------------
// Time

void ServeTime(Connection& c, int64_t offsetSeconds, int delayMs) {
  if (delayMs == -2) return;  // closes without a word
  if (delayMs < 0) {
    // Say nothing until the client gives up.
    std::string ignored;
    c.ReadLine(ignored);
    return;
  }
  if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  const int64_t unix = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
  const auto value = static_cast<uint32_t>(unix + 2208988800LL + offsetSeconds);
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 8), static_cast<char>(value)};
  c.Write(std::string(bytes, 4));
}

// ---------------------------------------------------------------------------
// FTP

void ServeFtp(Connection& c, int64_t bytesPerSecond) {
  if (!c.Write("220 Corvalink simulated mirror\r\n")) return;
  std::string cwd = "/";
  int dataListen = -1;
  auto closeData = [&] {
    if (dataListen >= 0) ::close(dataListen);
    dataListen = -1;
  };
  std::string line;
  bool loggedIn = false;
  while (c.ReadLine(line)) {
    std::string command = line.substr(0, line.find(' '));
    for (char& ch : command) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    const std::string arg =
        line.find(' ') == std::string::npos ? "" : line.substr(line.find(' ') + 1);
    const std::string file = cwd == "/pub/test/" ? "10meg.test" : "";
    std::string reply;
    if (command == "USER") {
      reply = arg == "anonymous" ? "331 Anonymous login ok, send your address as password\r\n"
                                 : "530 Only anonymous login\r\n";
    } else if (command == "PASS") {
      loggedIn = true;
      reply = "230 Anonymous access granted\r\n";
    } else if (command == "QUIT") {
      c.Write("221 Goodbye\r\n");
      break;
    } else if (!loggedIn) {
      reply = "530 Please login with USER and PASS\r\n";
    } else if (command == "SYST") {
      reply = "215 UNIX Type: L8\r\n";
    } else if (command == "PWD") {
      reply = "257 \"" + cwd + "\"\r\n";
    } else if (command == "CWD") {
      std::string target = arg.empty() || arg[0] != '/' ? cwd + arg : arg;
      if (target.back() != '/') target += '/';
      if (target == "/" || target == "/pub/" || target == "/pub/test/") {
        cwd = target;
        reply = "250 Directory changed\r\n";
      } else {
        reply = "550 No such directory\r\n";
      }
    } else if (command == "TYPE") {
      reply = "200 Type set\r\n";
    } else if (command == "SIZE") {
      reply = arg == file && !file.empty() ? "213 " + std::to_string(kTestFileSize) + "\r\n"
                                           : "550 No such file\r\n";
    } else if (command == "PASV") {
      closeData();
      int port = 0;
      try {
        dataListen = ListenLoopback(port);
        reply = "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," +
                std::to_string(port % 256) + ")\r\n";
      } catch (...) {
        reply = "425 Cannot open data connection\r\n";
      }
    } else if (command == "RETR") {
      if (file.empty() || arg != file) {
        reply = "550 No such file\r\n";
      } else if (dataListen < 0) {
        reply = "425 Use PASV first\r\n";
      } else {
        c.Write("150 Opening BINARY mode data connection (" + std::to_string(kTestFileSize) +
                " bytes)\r\n");
        pollfd p{dataListen, POLLIN, 0};
        const int dataFd =
            ::poll(&p, 1, 15000) > 0 ? ::accept4(dataListen, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        closeData();
        bool complete = false;
        if (dataFd >= 0) {
          char block[65536];
          int64_t sent = 0;
          complete = true;
          // Paced: a tenth of the rate every tenth of a second. The wait is
          // on the control connection, so a client that aborts or a server
          // that stops ends the transfer at once.
          const int64_t paced = bytesPerSecond > 0
                                    ? std::clamp<int64_t>(bytesPerSecond / 10, 1, sizeof block)
                                    : int64_t{sizeof block};
          while (sent < kTestFileSize) {
            if (bytesPerSecond > 0 && sent > 0) {
              pollfd control{c.Fd(), POLLIN, 0};
              if (::poll(&control, 1, 100) != 0) {
                complete = false;
                break;
              }
            }
            const int64_t n = std::min<int64_t>(paced, kTestFileSize - sent);
            for (int64_t i = 0; i < n; ++i) block[i] = static_cast<char>(TestFileByte(sent + i));
            if (::send(dataFd, block, static_cast<size_t>(n), MSG_NOSIGNAL) != n) {
              complete = false;  // the client aborted
              break;
            }
            sent += n;
          }
          ::close(dataFd);
        }
        reply =
            complete ? "226 Transfer complete\r\n" : "426 Connection closed; transfer aborted\r\n";
      }
    } else if (command == "ABOR") {
      reply = "226 Abort successful\r\n";
    } else if (command == "NOOP") {
      reply = "200 OK\r\n";
    } else {
      reply = "502 Command not implemented\r\n";
    }
    if (!c.Write(reply)) break;
  }
  closeData();
}

}  // namespace corvalink::sim
