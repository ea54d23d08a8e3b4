#include "gui/platform/TrayHosts.h"

namespace qgm::gui {

// No desktop services: no notification area.
struct TTrayHosts::TState {};

TTrayHosts::TTrayHosts(QObject* parent) : QObject(parent) {}
TTrayHosts::~TTrayHosts() = default;

ETrayKind TTrayHosts::Kind() const {
  return ETrayKind::None;
}

void TTrayHosts::HostsChanged() {}

}  // namespace qgm::gui
