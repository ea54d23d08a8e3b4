#pragma once
// The optional debug log: "Debug.txt" in the data folder, CR LF lines, kept
// short by trimming. Logging never stops the work that asked for a line.

#include <filesystem>
#include <string>

#include "core/util/DateTime.h"

namespace qgm {

class TDebugLog {
 public:
  TDebugLog() = default;
  explicit TDebugLog(std::filesystem::path file) : file_(std::move(file)) {}

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  const std::filesystem::path& File() const { return file_; }

  // Appends one line when logging is on: a log of more than 100 lines is
  // first cut to its last 80. Returns false when the file could not be
  // written (the caller carries on regardless).
  bool Write(const std::string& line) const;

  // "dd mmm yy hh:nn ampm", the time format of the log lines.
  static std::string TimeStamp(TDateTime when);
  static std::string RestartLine(TDateTime when) { return "QGM restarted: " + TimeStamp(when); }
  static std::string UpdateLine(TDateTime when) { return "QGM update:    " + TimeStamp(when); }

 private:
  std::filesystem::path file_;
  bool enabled_ = false;
};

}  // namespace qgm
