#include "gui/broadband/PercentBar.h"

#include <QAccessible>

namespace qgm::gui {

void TPercentBar::ShowBar(const QPixmap& picture, int percent) {
  const bool changed = percent != percent_;
  percent_ = percent;
  setPixmap(picture);
  if (changed && QAccessible::isActive()) {
    QAccessibleValueChangeEvent event(this, percent);
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace qgm::gui
