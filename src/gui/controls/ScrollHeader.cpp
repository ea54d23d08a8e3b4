#include "gui/controls/ScrollHeader.h"

#include "gui/controls/ListLook.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>

namespace qgm::gui {

TScrollHeader::TScrollHeader(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(false);
}

void TScrollHeader::SetShadowEdges(TShadowEdges edges) {
  edges_ = edges;
  update();
}

void TScrollHeader::SetColor(const QColor& color) {
  color_ = color;
  update();
}

void TScrollHeader::SetParentBackground(bool on) {
  parentBackground_ = on;
  update();
}

void TScrollHeader::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TListColours c = ListColours(palette());
  if (!parentBackground_) {
    if (color_.isValid()) {
      painter.fillRect(rect(), color_);
    } else {
      QStyleOptionHeader option;
      option.initFrom(this);
      option.rect = rect();
      option.position = QStyleOptionHeader::OnlyOneSection;
      style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, this);
    }
  }
  painter.setFont(font());
  painter.setBackgroundMode(Qt::TransparentMode);
  const int w = width(), h = height();
  painter.setPen(c.BtnHighlight);
  if (edges_ & seLeft) painter.drawLine(0, 0, 0, h - 1);
  if (edges_ & seTop) painter.drawLine(w - 1, 0, 0, 0);
  painter.setPen(c.BtnShadow);
  if (edges_ & seBottom) painter.drawLine(0, h - 1, w - 1, h - 1);
  if (edges_ & seRight) painter.drawLine(w - 1, h - 1, w - 1, 0);
  if (OnPaint) OnPaint(painter);
}

}  // namespace qgm::gui
