#include "gui/app/QtTime.h"

namespace qgm::gui {

TQtTimer::TQtTimer(std::function<void()> onTick) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(1000);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [onTick = std::move(onTick)] { onTick(); });
}

TQtTimerFactory& TQtTimerFactory::Shared() {
  static TQtTimerFactory factory;
  return factory;
}

void TQtTimer::SetInterval(int ms) {
  // Like the window timer it stands for: a running timer starts its wait afresh.
  const bool running = timer_.isActive();
  timer_.setInterval(ms);
  if (running) timer_.start();
}

}  // namespace qgm::gui
