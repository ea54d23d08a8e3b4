#include "gui/controls/LinkStyle.h"

#include "gui/controls/FocusLabel.h"

namespace qgm::gui {

void SetTextColour(QWidget& widget, const QColor& colour) {
  QPalette p = widget.palette();
  p.setColor(QPalette::WindowText, colour);
  widget.setPalette(p);
}

void StyleAsLink(TFocusLabel& label, Qt::Alignment alignment) {
  label.SetAlignment(alignment);
  label.SetShowAccelChar(false);
  label.SetTabStop(true);
  label.SetMouseOverColor(kLinkHoverColour);
  label.setCursor(Qt::PointingHandCursor);
  SetTextColour(label, kLinkColour);
  label.setMinimumHeight(label.fontMetrics().height() + 4);
}

}  // namespace qgm::gui
