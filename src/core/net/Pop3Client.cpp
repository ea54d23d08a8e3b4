#include "core/net/Pop3Client.h"

namespace qgm {

TPop3Client::TPop3Client(TNetContext& context) : connection_(context) {}

void TPop3Client::ExpectOk(const std::string& reply) {
  if (reply.rfind("+OK", 0) != 0) throw EPop3Error(reply.empty() ? "-ERR" : reply);
}

std::string TPop3Client::Command(const std::string& line) {
  RefuseLineBreaks(line, "command");
  connection_.WriteAll(line + "\r\n", ReadTimeoutMs);
  std::string reply = connection_.ReadLine(ReadTimeoutMs);
  ExpectOk(reply);
  return reply;
}

void TPop3Client::Connect() {
  // Refused before connecting: a break would make the rest of the text a
  // command of its own ("PASS pw", then "DELE 1").
  RefuseLineBreaks(Username, "user name");
  RefuseLineBreaks(Password, "password");
  connection_.StartDeadline(DeadlineMs);
  connection_.Connect(Host, Port, ConnectTimeoutMs, true);
  try {
    ExpectOk(connection_.ReadLine(ReadTimeoutMs > 0 ? ReadTimeoutMs : ConnectTimeoutMs));
    Command("USER " + Username);
    Command("PASS " + Password);
  } catch (...) {
    connection_.Close();
    throw;
  }
}

int TPop3Client::ParseStatReply(const std::string& reply) {
  if (reply.rfind("+OK", 0) != 0) return -1;
  size_t i = 3;
  while (i < reply.size() && reply[i] == ' ') ++i;
  if (i >= reply.size() || reply[i] < '0' || reply[i] > '9') return -1;
  long long n = 0;
  for (; i < reply.size() && reply[i] >= '0' && reply[i] <= '9'; ++i) {
    n = n * 10 + (reply[i] - '0');
    if (n > 1000000000) return -1;
  }
  return static_cast<int>(n);
}

int TPop3Client::CheckMessages() {
  const int n = ParseStatReply(Command("STAT"));
  if (n < 0) throw EPop3Error("Invalid STAT reply");
  return n;
}

std::vector<std::string> TPop3Client::RetrieveHeader(int number) {
  Command("TOP " + std::to_string(number) + " 0");
  std::vector<std::string> lines;
  size_t total = 0;
  while (TakeReplyLine(connection_.ReadLine(ReadTimeoutMs), lines, total)) {
  }
  return lines;
}

bool TPop3Client::TakeReplyLine(std::string line, std::vector<std::string>& lines,
                                size_t& totalBytes) {
  if (line == ".") return false;
  if (!line.empty() && line[0] == '.') line.erase(0, 1);
  totalBytes += line.size() + 2;
  // A header that never ends is a broken server, not a mailbox.
  if (totalBytes > 4 * 1024 * 1024) throw EPop3Error("Message header too large");
  lines.push_back(std::move(line));
  return true;
}

}  // namespace qgm
