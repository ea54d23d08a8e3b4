#pragma once
// The window program on the demo's settings against the tests' simulator,
// its first update done and the demo's mail alert acknowledged: every page
// shows its figures.

#include <QTemporaryDir>

#include <memory>

#include "gui/app/Program.h"
#include "support/FakeTime.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {

inline std::unique_ptr<gui::TProgram> StartDemoProgram(const QTemporaryDir& home,
                                                       const corvalink::sim::ProviderSimulator& sim,
                                                       FakeTimerFactory& timers) {
  gui::TStartOptions options;
  options.Demo = true;
  options.Endpoints = SimulatorEndpoints(sim);
  options.Folders = FoldersBelow(home.path().toStdString());
  options.Timers = &timers;
  auto program = std::make_unique<gui::TProgram>(options);
  program->Cycle().MainTimerTimer();
  program->TrayClicked();
  return program;
}

}  // namespace qgm::test
