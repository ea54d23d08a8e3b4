#include "gui/controls/WorkAreaPlace.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace qgm::gui {
namespace {

// How long after showing the window manager's placing is waited for.
constexpr int kSettleMs = 400;
constexpr int kMostCorrections = 3;

}  // namespace

TPlaceRect KeepInside(TPlaceRect w, const TPlaceRect& area) {
  w.Left = std::max(area.Left, std::min(w.Left, area.Left + area.Width - w.Width));
  w.Top = std::max(area.Top, std::min(w.Top, area.Top + area.Height - w.Height));
  return w;
}

TWorkAreaPlace::TWorkAreaPlace(QWidget& window) : QObject(&window), window_(window) {
  window_.installEventFilter(this);
}

void TWorkAreaPlace::Want(QPoint frameCorner) {
  wanted_ = frameCorner;
  haveWanted_ = true;
}

QPoint TWorkAreaPlace::Place() const {
  return settling_ ? wanted_ : window_.pos();
}

bool TWorkAreaPlace::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  // A compositor places Wayland windows; there is nothing to settle.
  if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) return false;
  switch (event->type()) {
    case QEvent::Hide:
      // Where the user saw it last, frame and all.
      wanted_ = window_.frameGeometry().topLeft();
      haveWanted_ = true;
      break;
    case QEvent::Show:
      if (!haveWanted_) wanted_ = window_.frameGeometry().topLeft();
      haveWanted_ = true;
      settling_ = true;
      corrections_ = 0;
      QTimer::singleShot(0, this, [this] { Settle(); });
      QTimer::singleShot(kSettleMs, this, [this] {
        Settle();
        settling_ = false;
      });
      break;
    case QEvent::Move:
      if (settling_) QTimer::singleShot(0, this, [this] { Settle(); });
      break;
    default:
      break;
  }
  return false;
}

void TWorkAreaPlace::Settle() {
  if (!settling_ || !window_.isVisible() || corrections_ >= kMostCorrections) return;
  const QRect frame = window_.frameGeometry();
  QScreen* screen = QGuiApplication::screenAt(QRect(wanted_, frame.size()).center());
  if (!screen) screen = window_.screen();
  if (!screen) return;
  const QRect a = screen->availableGeometry();
  const TPlaceRect place = KeepInside({wanted_.x(), wanted_.y(), frame.width(), frame.height()},
                                      {a.x(), a.y(), a.width(), a.height()});
  const QPoint target(place.Left, place.Top);
  if (frame.topLeft() == target) return;
  ++corrections_;
  window_.move(target);
}

}  // namespace qgm::gui
