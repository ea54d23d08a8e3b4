#include "gui/controls/BarGraph.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

#include "gui/accessibility/AccessibleEvents.h"

namespace qgm::gui {

TBarGraph::TBarGraph(QWidget* parent) : QLabel(parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void TBarGraph::SetBars(std::vector<TGraphBar> bars, const QString& summary) {
  bars_ = std::move(bars);
  summary_ = summary;
  if (current_ >= BarCount() || current_ < 0) current_ = BarCount() - 1;
  QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
  TellAssistiveTools(changed);
  update();
}

QString TBarGraph::BarLabel(int bar) const {
  return bar >= 0 && bar < BarCount() ? bars_[static_cast<size_t>(bar)].Label : QString();
}

QString TBarGraph::BarValue(int bar) const {
  return bar >= 0 && bar < BarCount() ? bars_[static_cast<size_t>(bar)].Value : QString();
}

QRect TBarGraph::BarRect(int bar) const {
  return bar >= 0 && bar < BarCount() ? bars_[static_cast<size_t>(bar)].Area : QRect();
}

void TBarGraph::SetCurrentBar(int bar) {
  if (BarCount() == 0) return;
  bar = std::clamp(bar, 0, BarCount() - 1);
  if (bar == current_) return;
  current_ = bar;
  update();
  NotifyCurrent();
  if (OnCurrentBar) OnCurrentBar(bar);
}

void TBarGraph::NotifyCurrent() {
  if (current_ < 0 || !hasFocus()) return;
  TellCurrentBar(this, current_);
}

std::optional<int> BarForKey(int key, int current, int count) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      return current - 1;
    case Qt::Key_Right:
    case Qt::Key_Down:
      return current + 1;
    case Qt::Key_Home:
      return 0;
    case Qt::Key_End:
      return count - 1;
    default:
      return std::nullopt;
  }
}

void TBarGraph::keyPressEvent(QKeyEvent* event) {
  const std::optional<int> bar = BarForKey(event->key(), current_, BarCount());
  if (!bar) return QLabel::keyPressEvent(event);
  SetCurrentBar(*bar);
  event->accept();
}

void TBarGraph::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus() || current_ < 0) return;
  // A dotted frame round the bar, whatever the style does with focus
  // frames (some draw them only after a Tab).
  QPainter painter(this);
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(BarRect(current_).intersected(rect()).adjusted(0, 0, -1, -1));
}

void TBarGraph::focusInEvent(QFocusEvent* event) {
  QLabel::focusInEvent(event);
  update();
  NotifyCurrent();
}

void TBarGraph::focusOutEvent(QFocusEvent* event) {
  QLabel::focusOutEvent(event);
  update();
}

}  // namespace qgm::gui
