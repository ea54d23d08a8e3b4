#include "gui/controls/ScrollItem.h"

#include "gui/controls/Contrast.h"
#include "gui/controls/ItemEditor.h"
#include "gui/controls/ListLook.h"
#include "gui/controls/ScrollingCtrl.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace qgm::gui {

int TScrollItem::ScreenTop() const {
  return top_ - (owner_ ? owner_->scrollPos_ : 0);
}

bool TScrollItem::HasChildren() const {
  if (!owner_ || index_ + 1 >= owner_->Count()) return false;
  return owner_->items_[static_cast<size_t>(index_) + 1]->Level > Level;
}

TScrollItem* TScrollItem::Parent() const {
  if (!owner_ || Level == 0) return nullptr;
  for (int i = index_ - 1; i >= 0; --i) {
    TScrollItem* before = owner_->items_[static_cast<size_t>(i)].get();
    if (before->Level < Level) return before;
  }
  return nullptr;
}

void TScrollItem::Select() {
  if (owner_) owner_->Select(*this, true);
}

void TScrollItem::MakeVisible() {
  if (!owner_) return;
  TScrollingCtrl& list = *owner_;
  const int client = list.ClientHeight();
  if (ScreenTop() + height_ > client) {
    if (height_ + list.vertSpace_ < client)
      list.ScrollTo(top_ + height_ + list.vertSpace_ - client);
    else
      list.ScrollTo(top_ - list.vertSpace_);
  } else if (ScreenTop() < 0) {
    list.ScrollTo(top_ - list.vertSpace_ - list.topOffset_);
  }
  list.Repaint();
}

void TScrollItem::SetChecked(bool checked) {
  if (!ShowCheckBox || checked == checked_) return;
  checked_ = checked;
  if (owner_ && owner_->OnItemCheck && !inCheckEvent_) {
    inCheckEvent_ = true;
    try {
      owner_->OnItemCheck(*this);
    } catch (...) {
      inCheckEvent_ = false;
      throw;
    }
    inCheckEvent_ = false;
  }
  if (owner_) {
    owner_->NotifyItem(index_, false);
    owner_->Repaint();
  }
}

void TScrollItem::SetHeight(int height) {
  if (height < 0) height = 0;
  if (height == height_) return;
  // A hidden item takes no room: the new height waits for it to be shown.
  if (!visible_ || !owner_) {
    height_ = height;
    return;
  }
  TScrollingCtrl& list = *owner_;
  int delta = height - height_;
  if (height == 0) delta -= list.vertSpace_;
  if (height_ == 0) delta += list.vertSpace_;
  height_ = height;
  list.ShiftItems(index_ + 1, delta);
  list.surfaceHeight_ += delta;
  list.UpdateScrollBar();
  const int client = list.ClientHeight();
  if (list.scrollPos_ > 0 && list.surfaceHeight_ - list.scrollPos_ < client)
    list.ScrollTo(list.surfaceHeight_ - client);
  list.PlaceEditor();
  list.Repaint();
}

void TScrollItem::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (visible) {
    visible_ = true;
    const int stored = height_;
    height_ = 0;
    SetHeight(stored);
    return;
  }
  if (selected_ && owner_) {
    TScrollingCtrl& list = *owner_;
    const int after = list.VisibleAfter(index_);
    if (after >= 0 && list.items_[static_cast<size_t>(after)]->Parent() == Parent())
      list.items_[static_cast<size_t>(after)]->Select();
    else
      list.items_[static_cast<size_t>(list.PreviousVisible(index_))]->Select();
  }
  const int stored = height_;
  SetHeight(0);
  visible_ = false;
  height_ = stored;
}

void TScrollItem::SetCollapsed(bool collapsed) {
  if (collapsed == collapsed_) return;
  if (!owner_) {
    collapsed_ = collapsed;
    return;
  }
  TScrollingCtrl& list = *owner_;
  list.BeginUpdate();
  const bool editorWasOn = list.EditorOn();
  if (editorWasOn) {
    list.editor_->SetLastItemIndex(index_);
    list.HideEditor();
  }
  for (int i = index_ + 1; i < list.Count(); ++i) {
    TScrollItem& below = *list.items_[static_cast<size_t>(i)];
    if (below.Level <= Level) break;
    if (collapsed) {
      if (below.selected_) list.Select(*this, false);
      below.SetVisible(false);
    } else if (below.Level == Level + 1) {
      below.SetVisible(true);
      if (below.HasChildren()) below.collapsed_ = true;
    }
  }
  collapsed_ = collapsed;
  if (editorWasOn && list.SelectedItem()) list.OpenEditorOn(*list.SelectedItem());
  list.EndUpdate();
  list.NotifyItem(index_, false);
}

void TScrollItem::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  if (owner_) owner_->Repaint();
}

bool TScrollItem::ShownSelected() const {
  return selected_ && owner_ && !(owner_->hideSelection_ && !owner_->hasFocus());
}

QRect TScrollItem::GlyphRect() const {
  const int hs = owner_ ? owner_->horzSpace_ : 0;
  const int left = Level * 14 + hs + 1;
  return {left, ScreenTop() + (height_ - kGlyphSide) / 2 + 1, kGlyphSide, kGlyphSide};
}

void TScrollItem::MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
  Select();
  const bool inGlyph = GlyphRect().contains(x, y);
  if (inGlyph) {
    if (ShowCheckBox)
      SetChecked(!checked_);
    else if (HasChildren())
      SetCollapsed(!collapsed_);
    if (owner_) owner_->Repaint();
  }
  // A press on the bare glyph place of a plain item leaves the scroll alone.
  if (!inGlyph || ShowCheckBox || HasChildren()) MakeVisible();
}

void TScrollItem::DblClick() {
  if (owner_) owner_->PostOpenEditor();
}

QColor TScrollItem::TextBackground() const {
  if (!owner_) return {};
  const TScrollingCtrl& list = *owner_;
  const TListColours c = ListColours(list.palette());
  if (Style == 2 && ShownSelected()) return list.hasFocus() ? c.ActiveCaption : c.InactiveCaption;
  if (!list.parentColor_ && !list.parentBackground_) return color_.isValid() ? color_ : c.BtnFace;
  return list.parentBackground_ ? BackgroundOf(list) : list.Color();
}

void TScrollItem::Paint(QPainter& painter) {
  if (height_ == 0 || !owner_) return;
  TScrollingCtrl& list = *owner_;
  const TListColours c = ListColours(list.palette());
  const bool focused = list.hasFocus();
  const bool shown = ShownSelected();
  const int top = ScreenTop();
  const int clientWidth = list.ClientWidth();
  const QRect area(list.horzSpace_, top, clientWidth - 3 * list.horzSpace_, height_);
  const QColor fill = color_.isValid() ? color_ : c.BtnFace;
  const QColor pen = shown && focused ? c.Highlight : c.BtnShadow;
  const bool ownFill = !list.parentColor_ && !list.parentBackground_;
  QColor text = c.Text;
  auto innerCorners = [&](const QRect& r) {
    painter.setPen(c.BtnShadow);
    painter.drawPoint(r.left() + 1, r.top() + 1);
    painter.drawPoint(r.right() - 1, r.top() + 1);
    painter.drawPoint(r.left() + 1, r.bottom() - 1);
    painter.drawPoint(r.right() - 1, r.bottom() - 1);
  };
  switch (Style) {
    case 1: {  // rounded panel
      FramedRect(painter, area, pen, fill);
      painter.setPen(list.Color());
      painter.drawPoint(area.topLeft());
      painter.drawPoint(area.topRight());
      painter.drawPoint(area.bottomLeft());
      painter.drawPoint(area.bottomRight());
      innerCorners(area);
      if (shown) {
        const QRect inner = area.adjusted(1, 1, -1, -1);
        FramedRect(painter, inner, pen, fill);
        innerCorners(inner);
      }
      break;
    }
    case 2:  // list row
      if (shown) {
        painter.fillRect(area, focused ? c.ActiveCaption : c.InactiveCaption);
        painter.setPen(focused ? c.DkShadow : c.BtnShadow);
        painter.drawLine(area.left(), area.bottom(), area.right(), area.bottom());
        if (focused) text = c.CaptionText;
      } else if (ownFill) {
        painter.fillRect(area, fill);
      }
      break;
    case 3:  // separated rows
      if (ownFill) painter.fillRect(area, fill);
      if (shown) {
        painter.setPen(c.BtnShadow);
        painter.drawLine(0, top, clientWidth - 1, top);
        painter.setPen(c.BtnHighlight);
        painter.drawLine(0, area.bottom(), clientWidth - 1, area.bottom());
      }
      break;
    default: {  // framed: the desktop's push button
      QStyleOptionButton option;
      option.initFrom(&list);
      option.rect = area;
      option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus | QStyle::State_Sunken);
      if (!shown)
        option.state &= ~QStyle::State_Enabled;
      else if (focused)
        option.state |= QStyle::State_MouseOver;
      list.style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, &list);
      break;
    }
  }
  const QRect glyph = GlyphRect();
  if (ShowCheckBox)
    DrawGlyph(painter, glyph.topLeft(), checked_ ? gcBoxTicked : gcBoxEmpty);
  else if (HasChildren())
    DrawGlyph(painter, glyph.topLeft(), collapsed_ ? gcPlus : gcMinus);
  painter.setFont(list.font());
  if (Style == 2 || Style == 3) text = Legible(text, TextBackground());
  painter.setPen(text);
  painter.setBrush(Qt::NoBrush);
  painter.setBackgroundMode(Qt::TransparentMode);
}

}  // namespace qgm::gui
