#include "gui/setup/MyItem.h"

#include <QFontMetrics>
#include <QPainter>

#include "gui/controls/Contrast.h"
#include "gui/controls/ListLook.h"
#include "gui/controls/ScrollingCtrl.h"

namespace qgm::gui {

void TMyItem::Paint(QPainter& painter) {
  if (Height() == 0 || !Owner()) return;
  TScrollItem::Paint(painter);
  const TScrollingCtrl& list = *Owner();
  const QFontMetrics metrics(list.font());
  const int top = ScreenTop() + (Height() - metrics.height()) / 2;
  // Black on the list's own light rows; the desktop's text colour where
  // the row shows a dark face through.
  const TListColours c = ListColours(list.palette());
  painter.setPen(Selected() && list.hasFocus() ? c.CaptionText
                                               : TextOn(TextBackground(), Qt::black, c.Text));
  painter.drawText(6, top + metrics.ascent(), Caption);
}

}  // namespace qgm::gui
