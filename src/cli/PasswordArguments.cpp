#include "cli/PasswordArguments.h"

#include <cstdio>
#include <string_view>

#include "core/util/PasswordInput.h"

namespace qgm::cli {

bool TPasswordArguments::Take(int argc, char** argv, std::string& error) {
  args_.clear();
  bool fromStdin = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--password" && i + 1 < argc) {
      args_.emplace_back(arg);
      args_.emplace_back(argv[++i]);
      BlankArgument(argv[i]);
    } else if (arg == "--password-stdin" && !fromStdin) {
      fromStdin = true;
      const auto line = ReadPasswordLine(stdin);
      if (!line) {
        error = "--password-stdin: no password on standard input";
        return false;
      }
      args_.emplace_back("--password");
      args_.push_back(*line);
    } else {
      args_.emplace_back(arg);
    }
  }
  values_.clear();
  for (std::string& a : args_) values_.push_back(a.data());
  values_.push_back(nullptr);
  return true;
}

}  // namespace qgm::cli
