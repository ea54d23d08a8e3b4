#pragma once
// qgm-cli's command line with its passwords out of sight: the value of
// every "--password" is copied and blanked in the process's own command
// line, and "--password-stdin" becomes "--password" with the first line of
// standard input, so the commands parse one option either way.

#include <string>
#include <vector>

namespace qgm::cli {

class TPasswordArguments {
 public:
  // False (with the reason in `error`) when --password-stdin finds no line.
  bool Take(int argc, char** argv, std::string& error);
  int Count() const { return static_cast<int>(args_.size()); }
  char** Values() { return values_.data(); }

 private:
  std::vector<std::string> args_;
  std::vector<char*> values_;
};

}  // namespace qgm::cli
