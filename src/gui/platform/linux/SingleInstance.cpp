#include "gui/platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace qgm::gui {
namespace {

QString Name() {
  return QStringLiteral("corvalink-qgm-%1").arg(::getuid());
}

// The socket address for a path; false when the path does not fit.
bool Address(const QByteArray& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= static_cast<int>(sizeof address.sun_path)) return false;
  std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
  return true;
}

}  // namespace

struct TSingleInstance::TImpl {
  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  int listener_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> onShow_;
  int registration_ = -1;  // this copy's locked file among the running ones
  void Accept();
  QString CopiesFolder() const {
    return folder_ + QStringLiteral("/") + Name() + QStringLiteral(".copies");
  }
  // This copy's file there.
  QByteArray RegistrationFile() const {
    return QFile::encodeName(CopiesFolder() + QStringLiteral("/%1").arg(::getpid()));
  }
};

TSingleInstance::TSingleInstance(QString folder, QObject* parent)
    : QObject(parent), impl_(std::make_unique<TImpl>()) {
  impl_->folder_ = folder.isEmpty()
                       ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                       : std::move(folder);
}

TSingleInstance::~TSingleInstance() {
  if (impl_->registration_ >= 0) {
    ::unlink(impl_->RegistrationFile());
    ::close(impl_->registration_);
  }
  if (impl_->listener_ >= 0) {
    ::close(impl_->listener_);
    ::unlink(
        QFile::encodeName(impl_->folder_ + QStringLiteral("/") + Name() + QStringLiteral(".sock")));
  }
}

bool TSingleInstance::Claim(std::function<void()> onShow, bool askRunning) {
  TImpl& d = *impl_;
  QString& folder_ = d.folder_;
  std::unique_ptr<QLockFile>& lock_ = d.lock_;
  int& listener_ = d.listener_;
  QDir().mkpath(folder_);
  const QString base = folder_ + QStringLiteral("/") + Name();
  const QByteArray socketPath = QFile::encodeName(base + QStringLiteral(".sock"));
  sockaddr_un address{};
  const bool addressable = Address(socketPath, address);

  lock_ = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
  lock_->setStaleLockTime(0);  // a lock whose process is gone is taken over
  if (!lock_->tryLock(100)) {
    if (!askRunning) return false;
    // Another copy runs: a connection is the request to show its window.
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s >= 0 && addressable &&
        ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      static const char kShow[] = "show\n";
      [[maybe_unused]] const auto sent = ::send(s, kShow, sizeof kShow - 1, MSG_NOSIGNAL);
    }
    if (s >= 0) ::close(s);
    return false;
  }

  d.onShow_ = std::move(onShow);
  if (!addressable) return true;     // still the only copy, just not reachable
  ::unlink(socketPath.constData());  // left by a copy that crashed
  listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listener_ < 0) return true;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 4) != 0) {
    ::close(listener_);
    listener_ = -1;
    return true;
  }
  d.notifier_ = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
  connect(d.notifier_, &QSocketNotifier::activated, this, [&d] { d.Accept(); });
  return true;
}

void TSingleInstance::Register() {
  TImpl& d = *impl_;
  if (d.registration_ >= 0) return;
  QDir().mkpath(d.CopiesFolder());
  const int fd = ::open(d.RegistrationFile().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return;
  }
  d.registration_ = fd;
}

int TSingleInstance::CountRunning() const {
  const QString folder = impl_->CopiesFolder();
  int count = 0;
  for (const QString& name : QDir(folder).entryList(QDir::Files)) {
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/") + name);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    // A lock that cannot be taken is held by a running copy (this one's
    // too: each open file has its own lock); one that can is left over
    // from a copy that ended without tidying up.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ++count;
    } else {
      ::unlink(path.constData());
    }
    ::close(fd);
  }
  return count;
}

void TSingleInstance::TImpl::Accept() {
  bool asked = false;
  for (;;) {
    const int s = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (s < 0) break;
    ::close(s);
    asked = true;
  }
  if (asked && onShow_) onShow_();
}

}  // namespace qgm::gui
