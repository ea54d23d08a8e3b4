#include "gui/advisories/AdvisoryItem.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyle>

#include <cstddef>

#include "gui/advisories/WrappedText.h"
#include "gui/controls/ListLook.h"
#include "gui/controls/Artwork.h"
#include "gui/controls/ScrollingCtrl.h"

extern const unsigned char kAdvisoryImagesPam[];
extern const std::size_t kAdvisoryImagesPamSize;
extern const unsigned char kAdvisoryImages2xPam[];
extern const std::size_t kAdvisoryImages2xPamSize;

namespace qgm::gui {

namespace {

// Colours as the panel draws them.
const QColor kFrame(0x99, 0x77, 0x77);
const QColor kBevelLight(0x66, 0x66, 0x66);
const QColor kBevelDark(0x33, 0x33, 0x33);
const QColor kSelectNew(0xFC, 0xC5, 0x95), kSelectNewEdge(0xF8, 0x94, 0x3C);
const QColor kSelectSeen(0xAD, 0xE1, 0x9F), kSelectSeenEdge(0x62, 0xC4, 0x44);
const QColor kNavy(0, 0, 0x80);

enum TImage { imGreenBall, imOrangeBall, imPaperClip, imSpeaker };

// The 16 x 16 images, or above one device pixel to a logical one the same
// drawn at 32 x 32 (devicePixelRatio 2).
const QImage& Images(qreal ratio) {
  // The four images side by side.
  static const QImage strip = PamImage(kAdvisoryImagesPam, kAdvisoryImagesPamSize);
  static const QImage strip2x = [] {
    QImage s = PamImage(kAdvisoryImages2xPam, kAdvisoryImages2xPamSize);
    s.setDevicePixelRatio(2);
    return s;
  }();
  return ratio > 1 ? strip2x : strip;
}

void DrawImage(QPainter& painter, const QPoint& at, TImage image) {
  const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
  const int side = ratio > 1 ? 32 : 16;
  painter.drawImage(at, Images(ratio), QRect(side * image, 0, side, side));
}

QRect Inside(const QRect& r, int by) {
  return r.adjusted(by, by, -by, -by);
}

}  // namespace

int TMyScrollItem::TextWidth() const {
  return Owner() ? Owner()->ClientWidth() - 22 : 0;
}

QRect TMyScrollItem::LinkIconRect() const {
  return {6, ScreenTop() + 7, 16, 16};
}

QRect TMyScrollItem::EnclosureIconRect() const {
  return {22, ScreenTop() + 7, 16, 16};
}

int TMyScrollItem::MeasureHeight(int width) const {
  if (!Owner()) return 0;
  const QFontMetrics metrics(Owner()->font());
  int h = DrawWrappedText(nullptr, metrics, Title, QRect(0, 0, width - IconsWidth(), 1000),
                          wtMeasureOnly);
  if (Expanded)
    h += DrawWrappedText(nullptr, metrics, Description, QRect(0, 0, width, 1000), wtMeasureOnly);
  return h + 14;
}

void TMyScrollItem::SetExpanded(bool expanded) {
  if (expanded == Expanded || !Owner()) return;
  Expanded = expanded;
  TScrollingCtrl& list = *Owner();
  const QFontMetrics metrics(list.font());
  auto measure = [&](int width) {
    return DrawWrappedText(nullptr, metrics, Description, QRect(0, 0, width, 1000), wtMeasureOnly);
  };
  const int w = TextWidth();
  int d = measure(w);
  if (d == 0) return;
  d += 2;
  const int client = list.ClientHeight();
  const int bar = list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
  if (expanded) {
    // The scroll bar this brings takes its width from the text.
    if (client >= list.SurfaceHeight() && client < list.SurfaceHeight() + d)
      d = measure(w - bar) + 2;
    SetHeight(Height() + d);
  } else {
    if (client < list.SurfaceHeight() && client >= list.SurfaceHeight() - d)
      d = measure(w + bar) + 2;
    SetHeight(Height() - d);
  }
  list.NotifyItem(Index(), false);
}

QString TMyScrollItem::AccessibleDescription() const {
  const QString state = IsNew ? QStringLiteral("new") : QStringLiteral("seen");
  return Description.isEmpty() ? state : state + QStringLiteral(": ") + Description;
}

QString TMyScrollItem::OpenLinkAction() {
  return QStringLiteral("Open link");
}

QString TMyScrollItem::OpenReportAction() {
  return QStringLiteral("Open report");
}

QStringList TMyScrollItem::ItemActions() const {
  QStringList actions;
  if (!Link.isEmpty()) actions << OpenLinkAction();
  if (!EnclosureUrl.isEmpty()) actions << OpenReportAction();
  return actions;
}

void TMyScrollItem::DoItemAction(const QString& action) {
  if (!OpenLink) return;
  if (action == OpenLinkAction() && !Link.isEmpty()) OpenLink(Link);
  if (action == OpenReportAction() && !EnclosureUrl.isEmpty()) OpenLink(EnclosureUrl);
}

void TMyScrollItem::Paint(QPainter& painter) {
  if (Height() == 0 || !Owner()) return;
  TScrollItem::Paint(painter);
  TScrollingCtrl& list = *Owner();
  const int top = ScreenTop();
  const QRect item(list.HorzSpace(), top, list.ClientWidth() - 3 * list.HorzSpace(), Height());
  const QColor fill = Color().isValid() ? Color() : ListColours(list.palette()).BtnFace;
  FrameRect(painter, item, kFrame);
  if (list.hasFocus() && Selected()) {
    const QColor light = IsNew ? kSelectNew : kSelectSeen;
    const QColor edge = IsNew ? kSelectNewEdge : kSelectSeenEdge;
    const QRect r1 = Inside(item, 1), r2 = Inside(item, 2);
    FramedRect(painter, r1, light, fill);
    FrameRect(painter, r2, light);
    painter.setPen(light);
    for (const QPoint p :
         {QPoint(r2.left() + 1, r2.top() + 1), QPoint(r2.right() - 1, r2.top() + 1),
          QPoint(r2.left() + 1, r2.bottom() - 1), QPoint(r2.right() - 1, r2.bottom() - 1)})
      painter.drawPoint(p);
    painter.setPen(edge);
    painter.drawLine(r1.left(), r1.bottom(), r1.right(), r1.bottom());
    painter.drawLine(r1.right(), r1.top(), r1.right(), r1.bottom());
    painter.setPen(kBevelLight);
    painter.drawLine(item.left(), item.top(), item.right(), item.top());
    painter.drawLine(item.left(), item.top(), item.left(), item.bottom());
    painter.setPen(kBevelDark);
    painter.drawLine(item.left(), item.bottom(), item.right(), item.bottom());
    painter.drawLine(item.right(), item.top(), item.right(), item.bottom());
    painter.setPen(list.Color());
    for (const QPoint p : {item.topLeft(), item.topRight(), item.bottomLeft(), item.bottomRight()})
      painter.drawPoint(p);
    painter.setPen(kBevelLight);
    painter.drawPoint(item.left() + 1, item.top() + 1);
    painter.setPen(kBevelDark);
    painter.drawPoint(item.right() - 1, item.top() + 1);
    painter.drawPoint(item.left() + 1, item.bottom() - 1);
    painter.drawPoint(item.right() - 1, item.bottom() - 1);
  }
  const QFontMetrics metrics(list.font());
  const int w = TextWidth(), icons = IconsWidth();
  painter.setPen(Qt::black);
  const int titleHeight = DrawWrappedText(
      &painter, metrics, Title, QRect(icons + 11, top + 7, w - icons, Height()), wtJustify);
  if (Expanded && !Description.isEmpty()) {
    painter.setPen(kNavy);
    DrawWrappedText(&painter, metrics, Description, QRect(11, top + titleHeight + 9, w, Height()),
                    wtJustify);
  }
  DrawImage(painter, LinkIconRect().topLeft(), IsNew ? imOrangeBall : imGreenBall);
  if (!EnclosureUrl.isEmpty()) DrawImage(painter, EnclosureIconRect().topLeft(), imGreenBall);
}

void TMyScrollItem::MouseMove(Qt::KeyboardModifiers, int x, int y) {
  if (!Owner()) return;
  const bool overLink = LinkIconRect().contains(x, y) && !Link.isEmpty();
  const bool overEnclosure = EnclosureIconRect().contains(x, y) && !EnclosureUrl.isEmpty();
  if (overLink || overEnclosure)
    Owner()->viewport()->setCursor(Qt::PointingHandCursor);
  else
    Owner()->viewport()->unsetCursor();
}

void TMyScrollItem::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  if (button != Qt::RightButton) {
    if (LinkIconRect().contains(x, y) && !Link.isEmpty()) {
      if (OpenLink) OpenLink(Link);
    } else if (EnclosureIconRect().contains(x, y) && !EnclosureUrl.isEmpty()) {
      if (OpenLink) OpenLink(EnclosureUrl);
    } else {
      SetExpanded(!Expanded);
    }
  }
  TScrollItem::MouseDown(button, shift, x, y);
}

}  // namespace qgm::gui
