// POP3 replies as the client reads them: the first line as a STAT reply,
// the rest as the lines of a "TOP n 0" reply up to ".", then scanned for
// new mail and voicemail as the mailbox check scans them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/mail/MailCheck.h"
#include "core/net/Pop3Client.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  size_t pos = text.find('\n');
  const int count = qgm::TPop3Client::ParseStatReply(text.substr(0, pos));
  if (count < -1) __builtin_trap();
  std::vector<std::string> lines;
  size_t total = 0;
  try {
    while (pos != std::string::npos) {
      const size_t next = text.find('\n', pos + 1);
      std::string line =
          text.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!qgm::TPop3Client::TakeReplyLine(std::move(line), lines, total)) break;
      pos = next;
    }
  } catch (const qgm::EPop3Error&) {
  }
  const int flags = qgm::ScanHeader(lines, "voicemail@callhaven.corvalink.com");
  if (flags & ~(qgm::mfNewMail | qgm::mfVoicemail)) __builtin_trap();
  // Voicemail is found only on a line that begins "FROM:".
  bool fromLine = false;
  for (const std::string& l : lines) fromLine |= l.size() >= 5 && (l[0] | 0x20) == 'f';
  if ((flags & qgm::mfVoicemail) && !fromLine) __builtin_trap();
  (void)qgm::ScanHeader(lines, "");
  return 0;
}
