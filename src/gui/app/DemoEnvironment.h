#pragma once
// "qgm --demo": the simulated provider (corvalink-sim, beside qgm) in a
// process of its own, and settings and data folders of the demo's own in a
// temporary folder, so trying the demo never touches a real account, hive
// or history. The simulator ends with the demo (and with qgm, however qgm
// ends: it stops when its standard input closes).

#include <QProcess>
#include <QTemporaryDir>

#include <filesystem>
#include <string>
#include <vector>

#include "core/net/Endpoints.h"
#include "core/platform/Folders.h"

namespace qgm::gui {

class TDemoEnvironment {
 public:
  // Starts the simulator found as `simulator` (empty: corvalink-sim in the
  // program's folder), with `extraArgs` after its own, and waits for its
  // description. Throws std::runtime_error when it cannot start.
  explicit TDemoEnvironment(std::filesystem::path simulator = {},
                            const std::vector<std::string>& extraArgs = {});
  ~TDemoEnvironment();
  const TEndpoints& Endpoints() const { return endpoints_; }
  const TFolders& Folders() const { return folders_; }

 private:
  QTemporaryDir home_;
  QProcess sim_;
  TEndpoints endpoints_;
  TFolders folders_;
};

}  // namespace qgm::gui
