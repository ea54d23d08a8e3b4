#pragma once
// A percentage bar for a screen reader: a progress bar from 0 to 100,
// named by the caption above it, its value text the percentage it shows.

#include <QAccessibleWidget>

#include "gui/broadband/PercentBar.h"

namespace qgm::gui {

class TPercentBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit TPercentBarAccessible(TPercentBar* bar);

  void* interface_cast(QAccessible::InterfaceType t) override;
  QString text(QAccessible::Text t) const override;

  QVariant currentValue() const override;
  void setCurrentValue(const QVariant&) override {}  // shows, is not set
  QVariant maximumValue() const override { return 100; }
  QVariant minimumValue() const override { return 0; }
  QVariant minimumStepSize() const override { return 1; }

 private:
  TPercentBar* Bar() const { return static_cast<TPercentBar*>(widget()); }
};

}  // namespace qgm::gui
