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

  // Linux: the Exec value for a program path, quoted as desktop entries
  // require.
  static std::string ExecValue(const std::string& programPath);

 private:
  std::filesystem::path file_;
};

}  // namespace qgm
