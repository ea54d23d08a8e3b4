#include "gui/controls/ItemEditor.h"

#include "gui/controls/ListLook.h"
#include "gui/controls/ScrollingCtrl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace qgm::gui {

TItemEditor::TItemEditor(QWidget* parent) : QWidget(parent) {
  hide();
  // Leaving the editor for another control closes it. A window that merely
  // loses the activation leaves it open.
  focusWatch_ =
      connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (open_ && !closing_ && old && isAncestorOf(old) && now && now != this &&
            !isAncestorOf(now))
          Exit(false);
      });
}

TItemEditor::~TItemEditor() {
  // The base class's destruction moves the focus; this class is gone by then.
  disconnect(focusWatch_);
  // Destroyed while open: the item gets its height back.
  if (open_ && item_) item_->SetHeight(savedItemHeight_);
  open_ = false;
}

void TItemEditor::SetColor(const QColor& color) {
  color_ = color;
  parentColor_ = false;
  update();
}

void TItemEditor::SetParentColor(bool on) {
  parentColor_ = on;
  update();
}

TScrollingCtrl* TItemEditor::List() const {
  return item_ && parentWidget() == item_->Owner()->viewport() ? item_->Owner() : nullptr;
}

void TItemEditor::DoEdit(TScrollItem* item) {
  if (!item || !item->Owner()) return;
  if (open_ && item->Index() == lastItemIndex_) return;
  CloseEditor();
  item_ = item;
  TScrollingCtrl& list = *item->Owner();
  if (findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty() || !item->Visible()) return;
  item->Select();
  // Selecting may have opened the editor already (AutoShowEditor).
  if (open_ && item_ == item) return;
  if (parentWidget() != list.viewport()) setParent(list.viewport());
  resize(list.ClientWidth(), height());
  savedParentColor_ = parentColor_;
  savedColor_ = color_;
  if (parentColor_) color_ = item->Color();
  if (OnBeforeEnter) OnBeforeEnter();
  NarrowChildren();
  QWidget* target = FocusTarget();
  if (!target) {
    RestoreColours();
    throw EListError("DoEdit: No control to take focus");
  }
  // A click on the editor's own surface keeps the focus in the field
  // rather than passing it to the list underneath, which would close it.
  setFocusPolicy(Qt::ClickFocus);
  setFocusProxy(target);
  savedItemHeight_ = item->Height();
  item->SetHeight(height());
  item->MakeVisible();
  setGeometry(0, item->ScreenTop(), list.ClientWidth(), height());
  open_ = true;
  show();
  raise();
  target->setFocus(Qt::OtherFocusReason);
}

QWidget* TItemEditor::FocusTarget() const {
  // The focus chain is the tab order: the first field in it that can take
  // the focus.
  int guard = 0;
  for (QWidget* w = nextInFocusChain(); w && w != this && guard < 100000;
       w = w->nextInFocusChain(), ++guard) {
    if (w->parentWidget() != this) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && !w->isHidden() &&
        w->isEnabledTo(const_cast<TItemEditor*>(this)))
      return w;
  }
  return nullptr;
}

void TItemEditor::NarrowChildren() {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect g = child->geometry();
    if (g.x() + g.width() > width())
      child->setGeometry(g.x(), g.y(), std::max(0, width() - g.x()), g.height());
  }
}

void TItemEditor::CloseEditor() {
  if (open_)
    Exit(true);
  else
    hide();
}

void TItemEditor::Exit(bool focusToList) {
  if (!open_ || closing_) return;
  closing_ = true;
  TScrollItem* item = item_;
  TScrollingCtrl* list = item->Owner();
  try {
    if (OnExit) OnExit();
  } catch (...) {
    // The item gets its height back whatever the handler did.
  }
  item->SetHeight(savedItemHeight_);
  lastItemIndex_ = item->Index();
  const bool focusBack = focusToList && !list->AutoShowEditor();
  // Moved before hiding, or the window would pass the focus on to
  // whichever control comes next.
  if (focusBack && isAncestorOf(QApplication::focusWidget())) list->setFocus(Qt::OtherFocusReason);
  hide();
  open_ = false;
  item_ = nullptr;
  setFocusProxy(nullptr);
  RestoreColours();
  if (focusBack) list->setFocus(Qt::OtherFocusReason);
  list->Repaint();
  closing_ = false;
}

void TItemEditor::Detach() {
  if (open_ && item_) {
    closing_ = true;
    TScrollingCtrl* list = item_->Owner();
    if (isAncestorOf(QApplication::focusWidget())) list->setFocus(Qt::OtherFocusReason);
    item_->SetHeight(savedItemHeight_);
    hide();
    open_ = false;
    setFocusProxy(nullptr);
    RestoreColours();
    closing_ = false;
  }
  item_ = nullptr;
}

void TItemEditor::RestoreColours() {
  color_ = savedColor_;
  parentColor_ = savedParentColor_;
}

void TItemEditor::mousePressEvent(QMouseEvent* event) {
  TScrollingCtrl* list = List();
  if (!open_ || !list) return QWidget::mousePressEvent(event);
  TScrollItem* item = item_;
  const QPoint at = event->position().toPoint() + pos();
  if (item->GlyphRect().contains(at)) {
    if (item->ShowCheckBox)
      item->SetChecked(!item->Checked());
    else if (item->HasChildren())
      item->SetCollapsed(!item->Collapsed());
  }
  list->Repaint();
  list->PostOpenEditor();
}

void TItemEditor::mouseDoubleClickEvent(QMouseEvent* event) {
  if (OnDblClick) OnDblClick(*event);
  if (HideOnDblClick) CloseEditor();
}

void TItemEditor::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TListColours c = ListColours(palette());
  const QColor own = color_.isValid() ? color_ : c.InactiveCaption;
  TScrollingCtrl* list = List();
  if (!list) {
    FramedRect(painter, rect(), c.BtnHighlight, own);
    FrameRect(painter, rect().adjusted(1, 1, -1, -1), c.BtnShadow);
  } else {
    const TListColours lc = ListColours(list->palette());
    painter.setFont(list->font());
    painter.fillRect(rect(),
                     list->parentWidget() ? BackgroundOf(*list->parentWidget()) : lc.BtnFace);
    const int hs = list->HorzSpace();
    const QRect area = rect().adjusted(hs, 0, -hs, 0);
    if (!parentColor_) painter.fillRect(area, own);
    switch (item_->Style) {
      case 1:
        FrameRect(painter, area.adjusted(0, 1, 0, -1), lc.Highlight);
        break;
      case 2:
        break;
      case 3:
        painter.setPen(lc.BtnShadow);
        painter.drawLine(0, area.top(), width() - 1, area.top());
        painter.setPen(lc.BtnHighlight);
        painter.drawLine(0, area.bottom(), width() - 1, area.bottom());
        break;
      default:
        FrameRect(painter, area, lc.BtnHighlight);
        FrameRect(painter, area.adjusted(1, 1, -1, -1), lc.Highlight);
    }
    const QPoint glyph = item_->GlyphRect().topLeft() - pos();
    if (item_->ShowCheckBox)
      DrawGlyph(painter, glyph, item_->Checked() ? gcBoxTickedDisabled : gcBoxEmptyDisabled);
    else if (item_->HasChildren())
      DrawGlyph(painter, glyph, item_->Collapsed() ? gcPlus : gcMinus);
  }
  if (OnPaint) OnPaint(painter);
}

}  // namespace qgm::gui
