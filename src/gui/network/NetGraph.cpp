#include "gui/network/NetGraph.h"

#include <QPainter>

namespace qgm::gui {

namespace {

const QColor kInColour(34, 154, 222);
const QColor kOutColour(255, 170, 51);

}  // namespace

TNetGraph::TNetGraph(QWidget* parent)
    : QWidget(parent), image_(kWidth, kHeight, QImage::Format_RGB32) {
  setObjectName(QStringLiteral("imgNetwork"));
  setFixedSize(kWidth, kHeight);
  Reset();
}

void TNetGraph::Reset() {
  image_.fill(palette().color(QPalette::Button));
  update();
}

void TNetGraph::Step(int inBar, int outBar) {
  const int w = image_.width(), h = image_.height();
  QImage moved = image_.copy(2, 0, w - 2, h);
  QPainter p(&image_);
  p.drawImage(0, 0, moved);
  p.fillRect(w - 2, 0, 2, h, palette().color(QPalette::Button));
  p.setPen(kInColour);
  if (inBar > 0) p.drawLine(w - 2, h - 1, w - 2, h - inBar);
  p.setPen(kOutColour);
  if (outBar > 0) p.drawLine(w - 1, h - 1, w - 1, h - outBar);
  p.end();
  update();
}

void TNetGraph::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(rect(), image_);
}

}  // namespace qgm::gui
