#include "gui/broadband/PercentBar.h"

#include <QAccessible>
#include <QPainter>
#include <QPen>

namespace qgm::gui {

TPercentBar::TPercentBar(QWidget* parent) : QLabel(parent) {
  setFocusPolicy(Qt::TabFocus);
}

void TPercentBar::ShowBar(const QPixmap& picture, int percent, const QString& figure) {
  const bool changed = percent != percent_;
  const bool figureChanged = figure != figure_;
  percent_ = percent;
  figure_ = figure;
  setPixmap(picture);
  if (!QAccessible::isActive()) return;
  if (changed) {
    QAccessibleValueChangeEvent event(this, percent);
    QAccessible::updateAccessibility(&event);
  }
  if (figureChanged) {
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void TPercentBar::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  // The focus shown around the bar in the highlight colour, whatever the
  // style makes of focus frames (some draw none after a mouse click).
  QPainter painter(this);
  painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
  painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

}  // namespace qgm::gui
