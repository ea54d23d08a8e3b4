#pragma once
// The notice popup for a screen reader: an alert named by the notice's
// title, described by its text.

#include <QAccessibleWidget>

#include "gui/tray/MessageForm.h"

namespace qgm::gui {

class TMessageFormAccessible : public QAccessibleWidget {
 public:
  explicit TMessageFormAccessible(TMessageForm* form);
  QString text(QAccessible::Text t) const override;

 private:
  TMessageForm* Form() const { return static_cast<TMessageForm*>(widget()); }
};

}  // namespace qgm::gui
