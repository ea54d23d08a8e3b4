#include "core/debug/DebugLog.h"

#include <vector>

#include "core/platform/FileIo.h"

namespace qgm {

std::string TDebugLog::TimeStamp(TDateTime when) {
  return FormatDateTime("dd mmm yy hh:nn ampm", when);
}

bool TDebugLog::Write(const std::string& line) const {
  if (!enabled_ || file_.empty()) return true;
  std::vector<std::string> lines;
  if (const auto text = ReadWholeFile(file_)) {
    size_t pos = 0;
    while (pos < text->size()) {
      size_t end = text->find('\n', pos);
      if (end == std::string::npos) end = text->size();
      std::string l = text->substr(pos, end - pos);
      if (!l.empty() && l.back() == '\r') l.pop_back();
      lines.push_back(std::move(l));
      pos = end + 1;
    }
  }
  const size_t keepFrom = lines.size() > 100 ? lines.size() - 80 : 0;
  std::string out;
  for (size_t i = keepFrom; i < lines.size(); ++i) out += lines[i] + "\r\n";
  out += line + "\r\n";
  return WriteFileAtomic(file_, out);
}

}  // namespace qgm
