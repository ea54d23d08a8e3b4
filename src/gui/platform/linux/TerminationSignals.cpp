#include "gui/platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace qgm::gui {
namespace {

// The handler only writes a byte into a pipe; the event loop reads it.
int gPipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(gPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

struct TTerminationSignals::TImpl {
  QSocketNotifier* notifier = nullptr;
  std::function<void()> onSignal;
};

TTerminationSignals::TTerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), impl_(std::make_unique<TImpl>()) {
  impl_->onSignal = std::move(onSignal);
  if (gPipe[0] < 0 && ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  impl_->notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
  connect(impl_->notifier, &QSocketNotifier::activated, this, [this] {
    char buf[16];
    while (::read(gPipe[0], buf, sizeof buf) > 0) {
    }
    if (impl_->onSignal) impl_->onSignal();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &action, nullptr);
}

TTerminationSignals::~TTerminationSignals() {
  // The default actions again: nobody is left to hear the pipe.
  for (const int s : {SIGTERM, SIGINT, SIGHUP}) ::signal(s, SIG_DFL);
}

}  // namespace qgm::gui
