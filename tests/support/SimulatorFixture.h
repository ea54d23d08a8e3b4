#pragma once
// One provider simulator per test suite on loopback, and a network context
// that trusts its CA, so the real clients run against it.

#include <gtest/gtest.h>

#include <memory>

#include "ProviderSimulator.h"
#include "core/net/Endpoints.h"
#include "core/net/NetContext.h"
#include "core/usage/UsageService.h"

namespace qgm::test {

// The provider's addresses as the program takes them, pointing at `sim`.
inline TEndpoints SimulatorEndpoints(const corvalink::sim::ProviderSimulator& sim) {
  TEndpoints e;
  e.ApiBase = sim.ApiBase();
  e.CaFile = sim.CaFile().string();
  e.FeedsUrl = sim.FeedUrl();
  e.HomeSite = sim.HomeSite();
  e.MailHost = "localhost:" + std::to_string(sim.Pop3Port());
  e.TimeHost = "127.0.0.1:" + std::to_string(sim.TimePort());
  e.MirrorHost = "127.0.0.1:" + std::to_string(sim.FtpPort());
  return e;
}

class SimulatorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    corvalink::sim::SimulatorOptions options;
    options.stallMs = 3000;  // SoakTest puts this back after its own pacing
    sim_ = new corvalink::sim::ProviderSimulator(options);
    sim_->Start();
    context_ = new TNetContext(sim_->CaFile().string());
  }
  static void TearDownTestSuite() {
    delete context_;
    delete sim_;
    context_ = nullptr;
    sim_ = nullptr;
  }
  void SetUp() override {
    sim_->SetScenario(corvalink::sim::Scenario::Normal);
    sim_->SetNotices(true);
    sim_->ClearCannedReplies();
    sim_->ClearRequests();
  }

  static corvalink::sim::ProviderSimulator& Sim() { return *sim_; }
  static TNetContext& Context() { return *context_; }
  // The usage service's settings for the simulator's API.
  static TUsageServiceConfig ServiceConfig() {
    TUsageServiceConfig config;
    config.ApiBase = sim_->ApiBase();
    config.Request.Context = context_;
    return config;
  }

 private:
  static inline corvalink::sim::ProviderSimulator* sim_ = nullptr;
  static inline TNetContext* context_ = nullptr;
};

}  // namespace qgm::test
