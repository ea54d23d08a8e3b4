#include "gui/platform/DesktopNotifications.h"

namespace qgm::gui {
namespace {

// No desktop bus: every notice is the program's own popup.
class TNoNotifications : public IDesktopNotifications {
 public:
  bool ServerRuns() const override { return false; }
  QStringList Capabilities() const override { return {}; }
  void Notify(const TNotification&, TNotificationEvents events) override {
    if (events.NotShown) events.NotShown();
  }
};

}  // namespace

std::unique_ptr<IDesktopNotifications> MakeDesktopNotifications() {
  return std::make_unique<TNoNotifications>();
}

}  // namespace qgm::gui
