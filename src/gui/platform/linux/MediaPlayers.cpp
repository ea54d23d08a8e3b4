#include "gui/platform/MediaPlayers.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFileInfo>

#include "core/platform/Launcher.h"

namespace qgm::gui {

namespace {

constexpr int kCallTimeoutMs = 3000;
const QString kPrefix = QStringLiteral("org.mpris.MediaPlayer2.");

}  // namespace

bool OpenWithRunningPlayer(const std::string& program, const std::string& channelAddress) {
  // The player opens whatever it is given, files included: only what a
  // launched player would get goes to it.
  const std::string address = TLauncher::StreamAddress(channelAddress);
  if (program.empty() || address.empty()) return false;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  const QString name = QFileInfo(QString::fromStdString(program)).completeBaseName().toLower();
  const QDBusReply<QStringList> services = bus.interface()->registeredServiceNames();
  if (!services.isValid()) return false;
  for (const QString& service : services.value()) {
    if (!service.startsWith(kPrefix)) continue;
    // "org.mpris.MediaPlayer2.vlc" or, for a second instance, "...vlc.instance42".
    const QString player = service.mid(kPrefix.size()).section(QLatin1Char('.'), 0, 0).toLower();
    if (player != name) continue;
    QDBusInterface control(service, QStringLiteral("/org/mpris/MediaPlayer2"),
                           QStringLiteral("org.mpris.MediaPlayer2.Player"), bus);
    control.setTimeout(kCallTimeoutMs);
    const QDBusMessage opened =
        control.call(QStringLiteral("OpenUri"), QString::fromStdString(address));
    if (opened.type() == QDBusMessage::ErrorMessage) return false;
    control.call(QStringLiteral("Play"));
    return true;
  }
  return false;
}

}  // namespace qgm::gui
