#pragma once
// The desktop's notification server (org.freedesktop.Notifications on the
// session bus): where one runs, the program's notices and alerts go there
// instead of its own corner popup. Every call is asynchronous, so a server
// that does not answer never holds up the program.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace qgm::gui {

struct TNotification {
  QString Summary;  // plain text
  QString Body;     // plain text; escaped here for a server that reads markup
  // Key and label of each action ("default" would be the notification's
  // own click). Sent only to a server that offers actions; a notification
  // whose action was invoked is closed.
  std::vector<std::pair<QString, QString>> Actions;
  bool Urgent = false;
  // The sound theme's event the server plays (a server that plays sounds);
  // empty: a silent notification.
  QString SoundName;
  QString Category;      // "email.arrived" and the like; may be empty
  int ExpireMs = -1;     // -1: as the server likes; 0: until closed
  bool WithIcon = true;  // the program's icon as the notification's image
};

// Why a notification went away (the server's reasons).
enum class ENotificationClosed : uint32_t {
  Expired = 1,
  Dismissed = 2,  // by the user
  ClosedByCall = 3,
  Undefined = 4,
};

struct TNotificationEvents {
  // The server took the notification; true when it plays its sound itself.
  std::function<void(bool serverPlaysSound)> Shown;
  // No server took it (none runs, or it refused): the caller shows it its
  // own way. Either this or Shown is called, once.
  std::function<void()> NotShown;
  std::function<void(const QString& actionKey)> ActionInvoked;
  std::function<void(ENotificationClosed reason)> Closed;  // the last event
};

class IDesktopNotifications {
 public:
  virtual ~IDesktopNotifications() = default;
  // Whether a server runs, as last learned (false until it has answered).
  virtual bool ServerRuns() const = 0;
  // What the server announced ("actions", "body-markup", "sound", ...).
  virtual QStringList Capabilities() const = 0;
  // Sends the notification; the events come from the event loop (NotShown
  // may come at once, before Notify returns).
  virtual void Notify(const TNotification& notification, TNotificationEvents events) = 0;
};

// The desktop's server; the dummy set has none (every notification is
// NotShown at once).
std::unique_ptr<IDesktopNotifications> MakeDesktopNotifications();

}  // namespace qgm::gui
