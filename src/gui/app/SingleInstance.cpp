#include "gui/app/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace qgm::gui {
namespace {

QString Name() {
  return QStringLiteral("corvalink-qgm-%1").arg(::getuid());
}

}  // namespace

TSingleInstance::TSingleInstance(QObject* parent) : QObject(parent) {}

bool TSingleInstance::Claim(std::function<void()> onShow) {
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  QDir().mkpath(runtime);
  lock_ =
      std::make_unique<QLockFile>(runtime + QStringLiteral("/") + Name() + QStringLiteral(".lock"));
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(100)) {
    QLocalSocket socket;
    socket.connectToServer(Name());
    if (socket.waitForConnected(1000)) {
      socket.write("show\n");
      socket.waitForBytesWritten(1000);
    }
    return false;
  }
  QLocalServer::removeServer(Name());
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->listen(Name());
  connect(server_, &QLocalServer::newConnection, this, [this, onShow = std::move(onShow)] {
    while (QLocalSocket* s = server_->nextPendingConnection()) {
      connect(s, &QLocalSocket::readyRead, s, [s, onShow] {
        if (s->readAll().startsWith("show")) onShow();
        s->deleteLater();
      });
    }
  });
  return true;
}

}  // namespace qgm::gui
