#pragma once
// A focus label for a screen reader: a link when it opens an address, a
// push button when it runs a command; named by its caption; "press" does
// what a click does.

#include <QAccessibleWidget>

#include "gui/controls/FocusLabel.h"

namespace qgm::gui {

class TFocusLabelAccessible : public QAccessibleWidget {
 public:
  explicit TFocusLabelAccessible(TFocusLabel* label);

  QAccessible::Role role() const override;
  QString text(QAccessible::Text t) const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 private:
  TFocusLabel* Label() const { return static_cast<TFocusLabel*>(widget()); }
};

}  // namespace qgm::gui
