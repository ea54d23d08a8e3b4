#pragma once
// Run on startup: an entry in the desktop's autostart folder (Linux: the XDG
// autostart entry "CorvalinkUsage.desktop") stands for the Windows Run-key
// value.

#include <filesystem>
#include <string>

namespace qgm {

class TAutostart {
 public:
  // `folder`: the autostart folder (TFolders::Autostart); empty: none.
  explicit TAutostart(const std::filesystem::path& folder);

  bool Exists() const;
  // Writes the entry starting `programPath`; false when it cannot be written.
  bool Enable(const std::string& programPath) const;
  bool Disable() const;
  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
};

// The platform's entry: its file name in the autostart folder and its text
// for a program path.
std::string AutostartEntryName();
std::string AutostartEntryText(const std::string& programPath);

}  // namespace qgm
