#include "gui/platform/TrayHosts.h"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTimer>

#include <cstdlib>
#include <string>

namespace qgm::gui {
namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
// How long a watcher may take to say whether a host is there.
constexpr int kWatcherTimeoutMs = 1000;
// While there is no tray at all, how often X11 is asked for a tray manager
// (one appearing sends no word we can hear without taking over Qt's events).
constexpr int kTrayManagerPollMs = 3000;

// The question to the watcher: is at least one host registered?
QDBusMessage HostQuestion() {
  QDBusMessage get = QDBusMessage::createMethodCall(
      kWatcher, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("Get"));
  get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
  return get;
}

bool HostAnswer(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

// Whether a StatusNotifier watcher runs with at least one host registered,
// asked once at start, before the window is made (a blocking call).
bool HostRegistered(const QDBusConnection& bus) {
  if (!bus.isConnected() || !bus.interface()) return false;
  if (!bus.interface()->isServiceRegistered(kWatcher).value()) return false;
  return HostAnswer(bus.call(HostQuestion(), QDBus::Block, kWatcherTimeoutMs));
}

// The X screen the program runs on, from DISPLAY (":0.1" is screen 1).
int ScreenNumber() {
  const char* display = std::getenv("DISPLAY");
  if (!display) return 0;
  const std::string d = display;
  const auto colon = d.rfind(':');
  const auto dot = d.find('.', colon == std::string::npos ? 0 : colon);
  return dot == std::string::npos ? 0 : std::atoi(d.c_str() + dot + 1);
}

// Whether an XEmbed tray manager owns the screen's tray selection; false
// on any platform but X11.
bool TrayManagerPresent() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return false;
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(ScreenNumber());
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 1, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
  if (!atom) return false;
  const xcb_atom_t selection = atom->atom;
  std::free(atom);
  if (selection == XCB_ATOM_NONE) return false;  // never made: nobody owns it
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
  const bool present = owner && owner->owner != XCB_WINDOW_NONE;
  std::free(owner);
  return present;
}

}  // namespace

struct TTrayHosts::TState {
  QDBusConnection bus = QDBusConnection::sessionBus();
  bool host = false;  // a StatusNotifier host is registered
  QTimer poll;
  // Later questions are asked without waiting: one at a time, signals that
  // come meanwhile merged into one more question once it is answered.
  bool asking = false;
  bool askAgain = false;
};

TTrayHosts::TTrayHosts(QObject* parent) : QObject(parent), state_(std::make_unique<TState>()) {
  TState& s = *state_;
  s.host = HostRegistered(s.bus);
  if (s.bus.isConnected()) {
    auto* watcher =
        new QDBusServiceWatcher(kWatcher, s.bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { HostsChanged(); });
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
      s.bus.connect(kWatcher, kWatcherPath, kWatcher, QString::fromLatin1(signal), this,
                    SLOT(HostsChanged()));
    }
  }
  s.poll.setInterval(kTrayManagerPollMs);
  connect(&s.poll, &QTimer::timeout, this, [this] {
    if (Kind() == ETrayKind::None) return;
    state_->poll.stop();
    if (OnChanged) OnChanged();
  });
  if (QGuiApplication::platformName() == QStringLiteral("xcb") && Kind() == ETrayKind::None)
    s.poll.start();
}

TTrayHosts::~TTrayHosts() = default;

ETrayKind TTrayHosts::Kind() const {
  if (state_->host) return ETrayKind::StatusNotifier;
  return TrayManagerPresent() ? ETrayKind::XEmbed : ETrayKind::None;
}

void TTrayHosts::HostsChanged() {
  TState& s = *state_;
  if (s.asking) {
    s.askAgain = true;
    return;
  }
  if (!s.bus.isConnected()) return;
  s.asking = true;
  // A watcher that has gone answers with an error: no host.
  auto* call =
      new QDBusPendingCallWatcher(s.bus.asyncCall(HostQuestion(), kWatcherTimeoutMs), this);
  connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
    done->deleteLater();
    TState& st = *state_;
    st.asking = false;
    const bool before = st.host;
    st.host = HostAnswer(done->reply());
    if (st.askAgain) {
      st.askAgain = false;
      HostsChanged();
    }
    if (st.host != before && OnChanged) OnChanged();
  });
}

}  // namespace qgm::gui
