#pragma once
// A list's caption bar for a screen reader: a column header named by its
// caption (its first label) or, as a framed panel, by the label naming it;
// the hint beside the caption as the description.

#include <QAccessibleWidget>

#include "gui/controls/ScrollHeader.h"

namespace qgm::gui {

class TScrollHeaderAccessible : public QAccessibleWidget {
 public:
  explicit TScrollHeaderAccessible(TScrollHeader* header);
  QString text(QAccessible::Text t) const override;
};

}  // namespace qgm::gui
