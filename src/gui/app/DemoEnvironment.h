#pragma once
// "qgm --demo": the simulated provider in-process, and settings and data
// folders of the demo's own in a temporary folder, so trying the demo never
// touches a real account, hive or history.

#include <QTemporaryDir>

#include <memory>

#include "ProviderSimulator.h"
#include "core/net/Endpoints.h"

namespace qgm::gui {

class TDemoEnvironment {
 public:
  // Starts the simulator and points the XDG folders into a temporary
  // folder. Throws std::runtime_error when the simulator cannot start.
  TDemoEnvironment();
  TEndpoints Endpoints() const;
  corvalink::sim::ProviderSimulator& Simulator() { return *sim_; }

 private:
  QTemporaryDir home_;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim_;
};

}  // namespace qgm::gui
