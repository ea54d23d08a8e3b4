#include "gui/setup/MyItem.h"

#include <QFontMetrics>
#include <QPainter>

#include "gui/controls/ListLook.h"
#include "gui/controls/ScrollingCtrl.h"

namespace qgm::gui {

void TMyItem::Paint(QPainter& painter) {
  if (Height() == 0 || !Owner()) return;
  TScrollItem::Paint(painter);
  const TScrollingCtrl& list = *Owner();
  const QFontMetrics metrics(list.font());
  const int top = ScreenTop() + (Height() - metrics.height()) / 2;
  painter.setPen(Selected() && list.hasFocus() ? ListColours(list.palette()).CaptionText
                                               : QColor(Qt::black));
  painter.drawText(6, top + metrics.ascent(), Caption);
}

}  // namespace qgm::gui
