#include "gui/app/DemoEnvironment.h"

#include <cstdlib>
#include <stdexcept>

namespace qgm::gui {

TDemoEnvironment::TDemoEnvironment() {
  if (!home_.isValid()) throw std::runtime_error("no temporary folder for the demo");
  const std::string base = home_.path().toStdString();
  setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
  corvalink::sim::SimulatorOptions options;
  options.stateDir = base + "/sim";
  sim_ = std::make_unique<corvalink::sim::ProviderSimulator>(options);
  sim_->Start();
}

TEndpoints TDemoEnvironment::Endpoints() const {
  TEndpoints e;
  e.ApiBase = sim_->ApiBase();
  e.CaFile = sim_->CaFile().string();
  e.FeedsUrl = sim_->FeedUrl();
  e.HomeSite = sim_->HomeSite();
  e.MailHost = "localhost";
  e.TimeHost = "127.0.0.1";
  e.MirrorHost = "127.0.0.1";
  return e;
}

}  // namespace qgm::gui
