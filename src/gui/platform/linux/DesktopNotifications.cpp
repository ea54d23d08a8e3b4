#include "gui/platform/DesktopNotifications.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <deque>
#include <map>

#include "core/tray/NumberIcon.h"

namespace qgm::gui {

// The server's "image-data" hint: width, height, row stride, alpha, bits
// per sample, channels and the RGBA bytes.
struct TNotificationImage {
  int Width = 0;
  int Height = 0;
  QByteArray Rgba;
};

QDBusArgument& operator<<(QDBusArgument& out, const TNotificationImage& image) {
  out.beginStructure();
  out << image.Width << image.Height << image.Width * 4 << true << 8 << 4 << image.Rgba;
  out.endStructure();
  return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, TNotificationImage& image) {
  int stride = 0, bits = 0, channels = 0;
  bool alpha = false;
  in.beginStructure();
  in >> image.Width >> image.Height >> stride >> alpha >> bits >> channels >> image.Rgba;
  in.endStructure();
  return in;
}

}  // namespace qgm::gui

Q_DECLARE_METATYPE(qgm::gui::TNotificationImage)

namespace qgm::gui {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// A server that has not answered by then is taken as absent (and the
// notice as not shown, so the program shows its own popup).
constexpr int kAnswerLimitMs = 5000;
// How long a late answer to Notify is still waited for, to close what it
// showed after the program gave up on it.
constexpr int kLateAnswerLimitMs = 120000;
constexpr int kIconSize = 64;
// Some servers keep only so many notifications of one program and close
// the oldest as expired when another comes (GNOME Shell keeps three): more
// than that wait until one of the program's own has gone.
constexpr size_t kMostOpen = 3;

TNotificationImage ProgramIcon() {
  // The core's pixels are 0xAARRGGBB with straight alpha.
  const TPixmap icon = MainIcon(kIconSize);
  TNotificationImage image{icon.Width, icon.Height, {}};
  image.Rgba.reserve(static_cast<qsizetype>(icon.Pixels.size() * 4));
  for (const uint32_t p : icon.Pixels) {
    image.Rgba.append(static_cast<char>((p >> 16) & 0xFF));
    image.Rgba.append(static_cast<char>((p >> 8) & 0xFF));
    image.Rgba.append(static_cast<char>(p & 0xFF));
    image.Rgba.append(static_cast<char>((p >> 24) & 0xFF));
  }
  return image;
}

// Text from outside as the server shows it: a carriage return alone, a
// vertical tab or a form feed a line break (CR LF one), other control
// characters (but tabs) dropped; for a server that reads markup, the
// characters that would start it escaped, so the text shows as it stands.
QString PlainForServer(const QString& text, bool markup) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    const char16_t u = c.unicode();
    if (u == u'\r' || u == u'\v' || u == u'\f') {
      if (!(u == u'\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')))
        out += QLatin1Char('\n');
      continue;
    }
    if ((u < 0x20 && u != u'\n' && u != u'\t') || u == 0x7F) continue;
    if (markup && c == QLatin1Char('&')) {
      out += QStringLiteral("&amp;");
    } else if (markup && c == QLatin1Char('<')) {
      out += QStringLiteral("&lt;");
    } else if (markup && c == QLatin1Char('>')) {
      out += QStringLiteral("&gt;");
    } else {
      out += c;
    }
  }
  return out;
}

class TDBusNotifications : public QObject, public IDesktopNotifications {
  Q_OBJECT
 public:
  TDBusNotifications() : bus_(QDBusConnection::sessionBus()) {
    qDBusRegisterMetaType<TNotificationImage>();
    if (!bus_.isConnected()) {
      state_ = EState::Absent;
      return;
    }
    // A server that starts, ends or is replaced later is noticed.
    watcher_ =
        new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
              ServerGone();
              if (owner.isEmpty()) {
                Settle(false);
              } else {
                Ask();
              }
            });
    // QtDBus subscribes to a bus signal by the receiving slot's signature
    // only; there is no function-pointer form for these.
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnClosed(uint, uint)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnAction(uint, QString)));
    Ask();
  }

  ~TDBusNotifications() override {
    // The program's notifications end with it, as its popups do.
    for (const auto& [id, events] : open_) Close(id);
  }

  bool ServerRuns() const override { return state_ == EState::Ready; }
  QStringList Capabilities() const override { return capabilities_; }

  void Notify(const TNotification& notification, TNotificationEvents events) override {
    switch (state_) {
      case EState::Absent:
        if (events.NotShown) events.NotShown();
        return;
      case EState::Asking:
        waiting_.emplace_back(notification, std::move(events));
        return;
      case EState::Ready:
        if (open_.size() + sending_ >= kMostOpen) {
          held_.emplace_back(notification, std::move(events));
        } else {
          Send(notification, std::move(events));
        }
        return;
    }
  }

 private Q_SLOTS:
  void OnClosed(uint id, uint reason) {
    const auto it = open_.find(id);
    if (it == open_.end()) return;  // another program's
    TNotificationEvents events = std::move(it->second);
    open_.erase(it);
    offered_.erase(id);
    const auto why = reason >= 1 && reason <= 3 ? static_cast<ENotificationClosed>(reason)
                                                : ENotificationClosed::Undefined;
    if (events.Closed) events.Closed(why);
    SendHeld();
  }

  void OnAction(uint id, const QString& key) {
    const auto it = open_.find(id);
    if (it == open_.end()) return;
    // Only the actions it was given: some servers send "default" for a
    // click on the notification's body whether it was offered or not.
    if (!offered_[id].contains(key)) return;
    // A copy: the handler may end the program's interest in it.
    const auto action = it->second.ActionInvoked;
    if (action) action(key);
    // Handled: it goes, rather than staying on screen with buttons that
    // do nothing more (servers that keep it after an action).
    Close(id);
  }

 private:
  enum class EState { Asking, Absent, Ready };

  // Whether the server runs, then what it can do; notices raised meanwhile wait.
  void Ask() {
    state_ = EState::Asking;
    const int asked = ++question_;
    QDBusMessage has = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    has << kService;
    auto* hasWatch = new QDBusPendingCallWatcher(bus_.asyncCall(has, kAnswerLimitMs), this);
    connect(hasWatch, &QDBusPendingCallWatcher::finished, this,
            [this, asked](QDBusPendingCallWatcher* w) {
              w->deleteLater();
              if (asked != question_) return;  // a later question stands
              const QDBusPendingReply<bool> owned = *w;
              if (owned.isError() || !owned.value()) return Settle(false);
              QDBusMessage caps = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                                 QStringLiteral("GetCapabilities"));
              caps.setAutoStartService(false);
              auto* capsWatch =
                  new QDBusPendingCallWatcher(bus_.asyncCall(caps, kAnswerLimitMs), this);
              connect(capsWatch, &QDBusPendingCallWatcher::finished, this,
                      [this, asked](QDBusPendingCallWatcher* cw) {
                        cw->deleteLater();
                        if (asked != question_) return;
                        const QDBusPendingReply<QStringList> reply = *cw;
                        if (reply.isError()) return Settle(false);
                        capabilities_ = reply.value();
                        Settle(true);
                      });
            });
  }

  void Settle(bool running) {
    state_ = running ? EState::Ready : EState::Absent;
    if (!running) capabilities_.clear();
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (auto& [notification, events] : waiting) Notify(notification, std::move(events));
  }

  // Sends what waited for room, as far as there is room now; with no
  // server any more, each goes the program's own way.
  void SendHeld() {
    while (!held_.empty() && (state_ != EState::Ready || open_.size() + sending_ < kMostOpen)) {
      auto [notification, events] = std::move(held_.front());
      held_.pop_front();
      Notify(notification, std::move(events));
    }
  }

  // The server went away: what it showed is gone, unseen by the user.
  void ServerGone() {
    ++question_;
    state_ = EState::Absent;
    capabilities_.clear();
    auto open = std::move(open_);
    open_.clear();
    offered_.clear();
    for (auto& [id, events] : open)
      if (events.Closed) events.Closed(ENotificationClosed::Undefined);
    SendHeld();
  }

  void Send(const TNotification& n, TNotificationEvents events) {
    const bool markup = capabilities_.contains(QStringLiteral("body-markup"));
    QStringList actions, keys;
    if (capabilities_.contains(QStringLiteral("actions"))) {
      for (const auto& [key, label] : n.Actions) {
        actions << key << PlainForServer(label, false);
        keys << key;
      }
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(n.Urgent ? 2 : 1));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("com.corvalink.qgm"));
    if (!n.Category.isEmpty()) hints.insert(QStringLiteral("category"), n.Category);
    const bool serverSound =
        capabilities_.contains(QStringLiteral("sound")) && !n.SoundName.isEmpty();
    if (serverSound) {
      hints.insert(QStringLiteral("sound-name"), n.SoundName);
    } else {
      hints.insert(QStringLiteral("suppress-sound"), true);
    }
    if (n.WithIcon) hints.insert(QStringLiteral("image-data"), QVariant::fromValue(ProgramIcon()));
    QDBusMessage m =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    m.setAutoStartService(false);
    m << QStringLiteral("QGM") << 0u << QString() << PlainForServer(n.Summary, false)
      << PlainForServer(n.Body, markup) << actions << hints << static_cast<int32_t>(n.ExpireMs);
    // A server that has not answered within the limit did not show it: the
    // program shows its own copy. Should the answer still come, the
    // server's copy is closed at once, so the user never sees two.
    auto* w = new QDBusPendingCallWatcher(bus_.asyncCall(m, kLateAnswerLimitMs), this);
    ++sending_;
    // The limit goes with the call, so an answered call leaves no timer to
    // wake the program later; a limit no longer running has passed.
    auto* limit = new QTimer(w);
    limit->setSingleShot(true);
    limit->start(kAnswerLimitMs);
    connect(limit, &QTimer::timeout, this, [this, notShown = events.NotShown] {
      --sending_;
      if (notShown) notShown();
      SendHeld();
    });
    connect(w, &QDBusPendingCallWatcher::finished, this,
            [this, events = std::move(events), serverSound, keys,
             limit](QDBusPendingCallWatcher* call) {
              call->deleteLater();
              const bool gaveUp = !limit->isActive();
              limit->stop();
              if (!gaveUp) --sending_;
              // Whatever the answer, what waited for room may go after it.
              QTimer::singleShot(0, this, [this] { SendHeld(); });
              const QDBusPendingReply<uint> reply = *call;
              if (reply.isError()) {
                // An answer of another type than the protocol's number: the
                // server may well have shown it, but it cannot be followed
                // or closed; from now on the program shows its own.
                if (reply.error().type() == QDBusError::InvalidSignature) ServerOdd();
                if (!gaveUp && events.NotShown) events.NotShown();
                return;
              }
              if (gaveUp) {
                Close(reply.value());
                return;
              }
              open_[reply.value()] = events;
              offered_[reply.value()] = keys;
              if (events.Shown) events.Shown(serverSound);
            });
  }

  void Close(uint id) {
    QDBusMessage close = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                        QStringLiteral("CloseNotification"));
    close << id;
    bus_.send(close);
  }

  // A server that answered in a way no other does is treated as absent
  // until another takes the name.
  void ServerOdd() {
    ++question_;
    state_ = EState::Absent;
    capabilities_.clear();
  }

  QDBusConnection bus_;
  QDBusServiceWatcher* watcher_ = nullptr;
  EState state_ = EState::Asking;
  int question_ = 0;  // answers to an earlier question are dropped
  QStringList capabilities_;
  std::vector<std::pair<TNotification, TNotificationEvents>> waiting_;
  std::deque<std::pair<TNotification, TNotificationEvents>> held_;  // waiting for room
  size_t sending_ = 0;  // sent, not yet answered nor given up on
  std::map<uint, TNotificationEvents> open_;
  std::map<uint, QStringList> offered_;  // the action keys each was given
};

}  // namespace

std::unique_ptr<IDesktopNotifications> MakeDesktopNotifications() {
  return std::make_unique<TDBusNotifications>();
}

}  // namespace qgm::gui

#include "DesktopNotifications.moc"
