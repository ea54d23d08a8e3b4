#include "gui/network/NetGraph.h"

#include <QPainter>
#include <cmath>

namespace qgm::gui {

namespace {

const QColor kInColour(34, 154, 222);
const QColor kOutColour(255, 170, 51);

int Device(int logical, qreal ratio) {
  return static_cast<int>(std::lround(logical * ratio));
}

}  // namespace

TNetGraph::TNetGraph(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("imgNetwork"));
  setFixedSize(kWidth, kHeight);
  image_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
  Reset();
  SetPixelRatio(devicePixelRatioF());
}

void TNetGraph::Reset() {
  told_.clear();
  image_.fill(palette().color(QPalette::Button));
  update();
}

void TNetGraph::SetPixelRatio(qreal ratio) {
  if (ratio <= 0 || ratio == image_.devicePixelRatio()) return;
  QImage scaled = image_.scaled(Device(kWidth, ratio), Device(kHeight, ratio),
                                Qt::IgnoreAspectRatio, Qt::FastTransformation);
  scaled.setDevicePixelRatio(ratio);
  image_ = scaled;
  update();
}

void TNetGraph::Step(int inBar, int outBar) {
  const qreal ratio = image_.devicePixelRatio();
  const int w = image_.width(), h = image_.height();
  // Two logical pixels: the in bar's column, then the out bar's.
  const int shift = std::max(2, Device(2, ratio));
  const int inWidth = shift / 2;
  // Painted in device pixels, whatever the bitmap's ratio.
  image_.setDevicePixelRatio(1);
  const QImage moved = image_.copy(shift, 0, w - shift, h);
  QPainter p(&image_);
  p.drawImage(QPoint(0, 0), moved);
  p.fillRect(w - shift, 0, shift, h, palette().color(QPalette::Button));
  const int in = Device(inBar, ratio), out = Device(outBar, ratio);
  if (in > 0) p.fillRect(w - shift, h - in, inWidth, in, kInColour);
  if (out > 0) p.fillRect(w - shift + inWidth, h - out, shift - inWidth, out, kOutColour);
  p.end();
  image_.setDevicePixelRatio(ratio);
  update();
}

void TNetGraph::Tell(const QString& speeds) {
  told_.push_back(speeds);
  // A step is two columns: as many seconds as the picture holds.
  while (BarCount() > kWidth / 2) told_.pop_front();
}

QString TNetGraph::BarLabel(int bar) const {
  if (bar < 0 || bar >= BarCount()) return {};
  const int ago = BarCount() - 1 - bar;
  return ago == 0 ? tr("Now") : tr("%1 s ago").arg(ago);
}

QString TNetGraph::BarValue(int bar) const {
  return bar >= 0 && bar < BarCount() ? told_[static_cast<size_t>(bar)] : QString();
}

QRect TNetGraph::BarRect(int bar) const {
  if (bar < 0 || bar >= BarCount()) return {};
  return {kWidth - 2 * (BarCount() - bar), 0, 2, kHeight};
}

QString TNetGraph::GraphSummary() const {
  if (told_.empty()) return tr("No traffic sampled yet");
  return tr("The last %1 seconds; now %2").arg(BarCount()).arg(told_.back());
}

void TNetGraph::paintEvent(QPaintEvent*) {
  // Moved to a screen of another pixel ratio since the last picture.
  SetPixelRatio(devicePixelRatioF());
  QPainter p(this);
  p.drawImage(rect(), image_);
}

}  // namespace qgm::gui
