#include "core/about/VersionCheck.h"

#include <algorithm>
#include <cctype>

#include "core/platform/ProcessValues.h"

namespace qgm {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The leading number of `text`, as the old conversion read it: 0 when the
// text is not a whole number.
int NumberOrZero(const std::string& text) {
  if (text.empty() || text.size() > 9) return 0;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string VersionLabel() {
  return "Version " + VersionText();
}

bool IsNewerVersion(const std::string& versionLabel, const std::string& body) {
  if (body.empty() || body[0] == '*') return false;

  // The current version.
  const auto f = std::find_if(versionLabel.begin(), versionLabel.end(), IsDigit);
  const size_t p = versionLabel.find('.');
  if (f == versionLabel.end() || p == std::string::npos) return false;
  const size_t from = static_cast<size_t>(f - versionLabel.begin());
  const int major = from < p ? NumberOrZero(versionLabel.substr(from, p - from)) : 0;
  if (major == 0) return false;
  std::string minor = versionLabel.substr(p + 1);
  minor.erase(std::remove(minor.begin(), minor.end(), '.'), minor.end());

  // The offered release.
  if (body.size() < 4 || Lower(body.substr(body.size() - 4)) != ".exe") return false;
  const size_t g =
      static_cast<size_t>(std::find_if(body.begin(), body.end(), IsDigit) - body.begin());
  if (g + 1 >= body.size()) return false;  // no digit before the last character
  const int newMajor = NumberOrZero(body.substr(g, 2));
  if (newMajor == 0) return false;
  const size_t dot = body.find('.');
  const std::string newMinor =
      dot != std::string::npos && dot > g + 2 ? body.substr(g + 2, dot - g - 2) : std::string();

  if (major < newMajor) return true;
  return major == newMajor && Lower(newMinor) > Lower(minor);
}

bool IsSafeUpdateFileName(const std::string& name) {
  if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
  });
}

}  // namespace qgm
