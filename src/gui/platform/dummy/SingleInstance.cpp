#include "gui/platform/SingleInstance.h"

namespace qgm::gui {

// The dummy platform runs every copy as the only one.
struct TSingleInstance::TImpl {};

TSingleInstance::TSingleInstance(QString, QObject* parent) : QObject(parent) {}
TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::Claim(std::function<void()>, bool) {
  return true;
}

void TSingleInstance::Register() {}

int TSingleInstance::CountRunning() const {
  return 1;
}

}  // namespace qgm::gui
