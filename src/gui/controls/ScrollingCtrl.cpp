#include "gui/controls/ScrollingCtrl.h"

#include "gui/accessibility/AccessibleEvents.h"
#include "gui/controls/ItemEditor.h"
#include "gui/controls/ListLook.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace qgm::gui {

namespace {

// The list's own deferred messages: open the editor on the selected item,
// and tell the owner the selection or contents changed.
const QEvent::Type kOpenEditor = static_cast<QEvent::Type>(QEvent::User + 100);
const QEvent::Type kItemChange = static_cast<QEvent::Type>(QEvent::User + 101);

// Stable merge sort; a positive comparison puts the right-hand item first.
void MergeSort(std::vector<TScrollItem*>& a, std::vector<TScrollItem*>& buffer, size_t lo,
               size_t hi, const TScrollingCtrl::TCompare& compare) {
  if (hi - lo < 2) return;
  const size_t mid = lo + (hi - lo) / 2;
  MergeSort(a, buffer, lo, mid, compare);
  MergeSort(a, buffer, mid, hi, compare);
  size_t i = lo, j = mid, k = lo;
  while (i < mid && j < hi) buffer[k++] = compare(*a[i], *a[j]) > 0 ? a[j++] : a[i++];
  while (i < mid) buffer[k++] = a[i++];
  while (j < hi) buffer[k++] = a[j++];
  std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(lo),
            buffer.begin() + static_cast<std::ptrdiff_t>(hi),
            a.begin() + static_cast<std::ptrdiff_t>(lo));
}

}  // namespace

TScrollingCtrl::TScrollingCtrl(QWidget* parent) : QAbstractScrollArea(parent) {
  resize(100, 100);
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAutoFillBackground(false);
  viewport()->setAutoFillBackground(false);
  viewport()->setMouseTracking(true);
  itemClass_ = [] { return std::make_unique<TScrollItem>(); };
  QScrollBar* bar = verticalScrollBar();
  connect(bar, &QScrollBar::actionTriggered, this, [this](int action) { barAction_ = action; });
  connect(bar, &QScrollBar::valueChanged, this, &TScrollingCtrl::OnBarValue);
  // The wheel scrolls the list the same way over its scroll bar.
  bar->installEventFilter(this);
}

TScrollingCtrl::~TScrollingCtrl() {
  destroying_ = true;
  if (!editor_) return;
  if (editor_->Item() && editor_->Item()->owner_ == this) editor_->Detach();
  // The editor is the owner's, not the list's: it outlives the viewport it
  // was laid over.
  if (editor_->parentWidget() == viewport()) editor_->setParent(parentWidget());
}

void TScrollingCtrl::SetItemEditor(TItemEditor* editor) {
  editor_ = editor;
}

TItemEditor* TScrollingCtrl::ItemEditor() const {
  return editor_;
}

void TScrollingCtrl::SetScrollItemClass(TScrollItemClass itemClass) {
  if (!items_.empty()) throw EListError("SetScrollItemClass: item list must be empty.");
  itemClass_ = std::move(itemClass);
}

TScrollItem* TScrollingCtrl::AddItem() {
  if (!itemClass_) throw EListError("No ScrollItemClass defined.");
  std::unique_ptr<TScrollItem> item = itemClass_();
  if (!item) throw EListError("No ScrollItemClass defined.");
  item->index_ = Count();
  item->height_ = defaultItemHeight_;
  item->color_ = defaultItemColor_;
  item->Style = defaultStyle_;
  item->owner_ = this;
  if (items_.empty()) {
    item->top_ = vertSpace_ + topOffset_;
    item->selected_ = true;
    itemIndex_ = 0;
    surfaceHeight_ = item->top_;
  } else {
    item->top_ = surfaceHeight_;
  }
  surfaceHeight_ += item->height_ + vertSpace_;
  items_.push_back(std::move(item));
  UpdateScrollBar();
  Repaint();
  return items_.back().get();
}

TScrollItem* TScrollingCtrl::GetItem(int index) const {
  if (index < 0 || index >= Count()) throw EListError("GetItem: Range error.");
  return items_[static_cast<size_t>(index)].get();
}

void TScrollingCtrl::DeleteItem(int index) {
  if (index < 0 || index >= Count()) throw EListError("DeleteItem: index out of range.");
  TScrollItem& item = *items_[static_cast<size_t>(index)];
  if (item.HasChildren()) throw EListError("DeleteItem: Can't delete items with children.");
  if (editor_ && editor_->Item() == &item) editor_->Detach();
  item.SetVisible(false);
  // With nowhere else to go the selection stays on the item: it passes to
  // the one that takes its place.
  const bool wasSelected = item.selected_;
  items_.erase(items_.begin() + index);
  for (int i = index; i < Count(); ++i) items_[static_cast<size_t>(i)]->index_ = i;
  if (itemIndex_ > index) --itemIndex_;
  if (items_.empty()) {
    itemIndex_ = 0;
    surfaceHeight_ = 0;
    UpdateScrollBar();
  } else if (wasSelected) {
    itemIndex_ = std::min(index, Count() - 1);
    items_[static_cast<size_t>(itemIndex_)]->selected_ = true;
    PostItemChange();
  }
  ComputeFirstVisible();
  Repaint();
}

void TScrollingCtrl::Clear() {
  HideEditor();
  if (editor_ && editor_->Item() && editor_->Item()->owner_ == this) editor_->Detach();
  const bool had = !items_.empty();
  items_.clear();
  if (had) PostItemChange();
  itemIndex_ = 0;
  surfaceHeight_ = 0;
  firstVisible_ = 0;
  scrollPos_ = 0;
  Repaint();
  UpdateScrollBar();
}

void TScrollingCtrl::Sort(const TCompare& compare, bool keepSelection) {
  if (Count() < 2) return;
  HideEditor();
  std::vector<TScrollItem*> order(items_.size()), buffer(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) order[i] = items_[i].get();
  // Sorted aside first, so a comparison that throws leaves the list as it was.
  MergeSort(order, buffer, 0, order.size(), compare);
  if (!keepSelection) items_[static_cast<size_t>(itemIndex_)]->selected_ = false;
  std::vector<std::unique_ptr<TScrollItem>> sorted(items_.size());
  for (size_t i = 0; i < order.size(); ++i)
    sorted[i] = std::move(items_[static_cast<size_t>(order[i]->index_)]);
  items_ = std::move(sorted);
  for (int i = 0; i < Count(); ++i) {
    TScrollItem& item = *items_[static_cast<size_t>(i)];
    item.index_ = i;
    item.visible_ = true;
    item.collapsed_ = false;
    if (keepSelection && item.selected_) itemIndex_ = i;
  }
  LayOut();
  if (keepSelection)
    items_[static_cast<size_t>(itemIndex_)]->MakeVisible();
  else
    Select(*items_[0], true);
  UpdateScrollBar();
}

void TScrollingCtrl::LayOut() {
  int top = vertSpace_ + topOffset_;
  for (auto& item : items_) {
    item->top_ = top;
    if (item->SurfaceHeight() > 0) top += item->height_ + vertSpace_;
  }
  surfaceHeight_ = items_.empty() ? 0 : top;
}

void TScrollingCtrl::EndUpdate() {
  if (--updateCount_ > 0) return;
  updateCount_ = 0;
  UpdateScrollBar();
  Repaint();
}

void TScrollingCtrl::ShiftItems(int from, int delta) {
  for (size_t i = static_cast<size_t>(from); i < items_.size(); ++i) items_[i]->top_ += delta;
}

int TScrollingCtrl::ClientWidth() const {
  return viewport()->width();
}
int TScrollingCtrl::ClientHeight() const {
  return viewport()->height();
}

bool TScrollingCtrl::HasVScroll() const {
  return verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

void TScrollingCtrl::SetHorzSpace(int value) {
  if (items_.empty()) horzSpace_ = value;
}
void TScrollingCtrl::SetVertSpace(int value) {
  if (items_.empty()) vertSpace_ = value;
}
void TScrollingCtrl::SetTopOffset(int value) {
  if (items_.empty()) topOffset_ = value;
}
void TScrollingCtrl::SetDefaultItemHeight(int value) {
  if (value > 3) defaultItemHeight_ = value;
}
void TScrollingCtrl::SetDefaultStyle(int value) {
  if (value >= 0 && value <= 3) defaultStyle_ = value;
}
void TScrollingCtrl::SetHideSelection(bool on) {
  hideSelection_ = on;
  Repaint();
}
void TScrollingCtrl::SetParentBackground(bool on) {
  parentBackground_ = on;
  Repaint();
}
void TScrollingCtrl::SetParentColor(bool on) {
  parentColor_ = on;
  Repaint();
}
void TScrollingCtrl::SetColor(const QColor& color) {
  color_ = color;
  parentColor_ = false;
  Repaint();
}

QColor TScrollingCtrl::Color() const {
  if (parentColor_ && parentWidget()) return BackgroundOf(*parentWidget());
  return color_.isValid() ? color_ : palette().color(QPalette::Window);
}

void TScrollingCtrl::Repaint() {
  viewport()->update();
}

// ---- scrolling

void TScrollingCtrl::ScrollTo(int y) {
  y = std::clamp(y, 0, std::max(0, surfaceHeight_ - ClientHeight()));
  const bool moved = y != scrollPos_;
  scrollPos_ = y;
  settingBar_ = true;
  verticalScrollBar()->setValue(y >> scrollShift_);
  settingBar_ = false;
  ComputeFirstVisible();
  PlaceEditor();
  if (moved) Repaint();
}

void TScrollingCtrl::UpdateScrollBar() {
  if (updateCount_ > 0 || inBarUpdate_) return;
  inBarUpdate_ = true;
  settingBar_ = true;
  QScrollBar* bar = verticalScrollBar();
  // The bar is only ever moved through ScrollTo, which keeps every bit of
  // the position; read it back only if something else moved it.
  if (bar->value() != scrollPos_ >> scrollShift_) scrollPos_ = bar->value() << scrollShift_;
  const int maximum = std::max(0, surfaceHeight_ - 1);
  int shift = 0;
  while ((maximum >> shift) > 32766) ++shift;
  scrollShift_ = shift;
  const int page = ClientHeight();
  // Shown and hidden here rather than by the scroll area's own deferred
  // check, so HasVScroll and the client width are right at once.
  const Qt::ScrollBarPolicy policy =
      surfaceHeight_ > page ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  if (verticalScrollBarPolicy() != policy) setVerticalScrollBarPolicy(policy);
  const int pageSteps = page >> shift;
  bar->setRange(0, std::max(0, (maximum >> shift) - pageSteps + 1));
  bar->setPageStep(std::max(1, pageSteps));
  bar->setSingleStep(std::max(1, defaultItemHeight_ >> shift));
  scrollPos_ = std::clamp(scrollPos_, 0, std::max(0, surfaceHeight_ - page));
  bar->setValue(scrollPos_ >> shift);
  settingBar_ = false;
  inBarUpdate_ = false;
  ComputeFirstVisible();
  PlaceEditor();
}

void TScrollingCtrl::OnBarValue(int value) {
  if (settingBar_) return;
  HideEditor();
  const int action = barAction_;
  barAction_ = QAbstractSlider::SliderNoAction;
  int target;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      target = scrollPos_ + defaultItemHeight_;
      break;
    case QAbstractSlider::SliderSingleStepSub:
      target = scrollPos_ - defaultItemHeight_;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      target = scrollPos_ + ClientHeight();
      break;
    case QAbstractSlider::SliderPageStepSub:
      target = scrollPos_ - ClientHeight();
      break;
    case QAbstractSlider::SliderToMinimum:
      target = 0;
      break;
    case QAbstractSlider::SliderToMaximum:
      target = surfaceHeight_;
      break;
    default:
      // Dragged: the bottom of the bar is the bottom of the surface, even
      // when the scaled range cannot name it exactly.
      target = value >= verticalScrollBar()->maximum() ? surfaceHeight_ : value << scrollShift_;
  }
  ScrollTo(target);
}

void TScrollingCtrl::ComputeFirstVisible() {
  const int n = Count();
  if (n <= 1) {
    firstVisible_ = 0;
    return;
  }
  // Bottoms on the surface rise with the index (a hidden item's bottom is
  // its top), so the first item reaching below VertSpace is found by halving.
  int lo = 0, hi = n;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    const TScrollItem& item = *items_[static_cast<size_t>(mid)];
    if (item.top_ + item.SurfaceHeight() - scrollPos_ < vertSpace_)
      lo = mid + 1;
    else
      hi = mid;
  }
  int i = lo;
  while (i < n && !items_[static_cast<size_t>(i)]->visible_) ++i;
  i = std::min(i, n - 1);
  while (i > 0 && items_[static_cast<size_t>(i)]->ScreenTop() > vertSpace_) --i;
  firstVisible_ = i;
}

TScrollItem* TScrollingCtrl::ItemAtY(int y) const {
  if (items_.empty()) return nullptr;
  const TScrollItem& last = *items_.back();
  if (y >= last.ScreenTop() + last.SurfaceHeight()) return nullptr;
  const int n = Count();
  int i = std::min(firstVisible_, n - 1);
  auto at = [this](int k) -> const TScrollItem& { return *items_[static_cast<size_t>(k)]; };
  while (i > 0 && (y < at(i).ScreenTop() || !at(i).visible_)) --i;
  while (i < n - 1 && (y >= at(i).ScreenTop() + at(i).SurfaceHeight() || !at(i).visible_)) ++i;
  return items_[static_cast<size_t>(i)].get();
}

// ---- selection and the editor

void TScrollingCtrl::Select(TScrollItem& item, bool showEditor) {
  if (item.selected_ || !item.visible_) return;
  HideEditor();
  if (itemIndex_ < Count()) items_[static_cast<size_t>(itemIndex_)]->selected_ = false;
  itemIndex_ = item.index_;
  if (TScrollItem* parent = item.Parent(); parent && parent->collapsed_)
    parent->SetCollapsed(false);
  item.selected_ = true;
  item.MakeVisible();
  Repaint();
  if (showEditor && autoShowEditor_ && editor_) OpenEditorOn(item);
  NotifyItem(itemIndex_, true);
  PostItemChange();
}

int TScrollingCtrl::VisibleCount() const {
  return static_cast<int>(
      std::count_if(items_.begin(), items_.end(), [](const auto& item) { return item->visible_; }));
}

int TScrollingCtrl::VisiblePosition(int index) const {
  if (index < 0 || index >= Count() || !items_[static_cast<size_t>(index)]->visible_) return -1;
  return static_cast<int>(std::count_if(items_.begin(), items_.begin() + index,
                                        [](const auto& item) { return item->visible_; }));
}

TScrollItem* TScrollingCtrl::VisibleItem(int position) const {
  if (position < 0) return nullptr;
  for (const auto& item : items_)
    if (item->visible_ && position-- == 0) return item.get();
  return nullptr;
}

void TScrollingCtrl::NotifyItem(int index, bool current) const {
  if (destroying_) return;
  const int position = VisiblePosition(index);
  if (position < 0) return;
  auto* self = const_cast<TScrollingCtrl*>(this);
  if (!current) {
    QAccessibleStateChangeEvent changed(self, {});
    changed.setChild(position);
    TellAssistiveTools(changed);
    return;
  }
  QAccessibleEvent selection(self, QAccessible::Selection);
  selection.setChild(position);
  TellAssistiveTools(selection);
  if (hasFocus()) {
    QAccessibleEvent focus(self, QAccessible::Focus);
    focus.setChild(position);
    TellAssistiveTools(focus);
  }
}

int TScrollingCtrl::VisibleAfter(int index) const {
  for (int i = index + 1; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)]->visible_) return i;
  return -1;
}

int TScrollingCtrl::VisibleBefore(int index) const {
  for (int i = index - 1; i >= 0; --i)
    if (items_[static_cast<size_t>(i)]->visible_) return i;
  return -1;
}

int TScrollingCtrl::NextVisible(int index) const {
  if (const int after = VisibleAfter(index); after >= 0) return after;
  if (items_[static_cast<size_t>(index)]->visible_) return index;
  if (const int before = VisibleBefore(index); before >= 0) return before;
  return index;
}

int TScrollingCtrl::PreviousVisible(int index) const {
  if (const int before = VisibleBefore(index); before >= 0) return before;
  if (items_[static_cast<size_t>(index)]->visible_) return index;
  if (const int after = VisibleAfter(index); after >= 0) return after;
  return index;
}

bool TScrollingCtrl::EditorOn() const {
  return editor_ && editor_->Open() && editor_->Item() && editor_->Item()->owner_ == this;
}

void TScrollingCtrl::HideEditor() {
  if (EditorOn()) editor_->CloseEditor();
}

void TScrollingCtrl::PlaceEditor() {
  if (EditorOn()) editor_->move(0, editor_->Item()->ScreenTop());
}

void TScrollingCtrl::OpenEditorOn(TScrollItem& item) {
  try {
    editor_->DoEdit(&item);
  } catch (const EListError& e) {
    // An editor without a field to type in: nothing opens.
    qWarning("%s", e.what());
  }
}

void TScrollingCtrl::OpenEditor() {
  TScrollItem* item = SelectedItem();
  if (!item || !editor_ || item->ReadOnly) return;
  item->MakeVisible();
  OpenEditorOn(*item);
}

void TScrollingCtrl::PostOpenEditor() {
  QCoreApplication::postEvent(this, new QEvent(kOpenEditor));
}

void TScrollingCtrl::PostItemChange() {
  if (destroying_ || changePending_) return;
  changePending_ = true;
  QCoreApplication::postEvent(this, new QEvent(kItemChange));
}

bool TScrollingCtrl::event(QEvent* event) {
  if (event->type() == kItemChange) {
    changePending_ = false;
    if (OnItemChange) OnItemChange();
    return true;
  }
  if (event->type() == kOpenEditor) {
    OpenEditor();
    return true;
  }
  return QAbstractScrollArea::event(event);
}

bool TScrollingCtrl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

// ---- painting and window events

void TScrollingCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  if (!parentBackground_) painter.fillRect(viewport()->rect(), Color());
  const int client = ClientHeight();
  for (int i = firstVisible_; i < Count(); ++i) {
    TScrollItem& item = *items_[static_cast<size_t>(i)];
    if (!item.visible_) continue;
    painter.save();
    painter.setFont(font());
    item.Paint(painter);
    painter.restore();
    if (item.ScreenTop() + item.height_ > client) break;
  }
}

void TScrollingCtrl::resizeEvent(QResizeEvent*) {
  const QSize size = viewport()->size();
  if (size == clientSize_) return;
  const bool heightChanged = size.height() != clientSize_.height();
  clientSize_ = size;
  if (inBarUpdate_) {
    // The scroll bar came or went: only the width changed.
    if (EditorOn()) editor_->resize(ClientWidth(), editor_->height());
    return;
  }
  UpdateScrollBar();
  if (TScrollItem* selected = SelectedItem()) selected->MakeVisible();
  if (heightChanged)
    HideEditor();
  else if (EditorOn())
    editor_->resize(ClientWidth(), editor_->height());
  if (OnResize) OnResize();
}

void TScrollingCtrl::wheelEvent(QWheelEvent* event) {
  event->accept();
  HideEditor();
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  const int lines = QApplication::wheelScrollLines();
  ScrollTo(scrollPos_ + (delta * lines * -defaultItemHeight_) / 120);
}

void TScrollingCtrl::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  // The item the keys work on is what a screen reader speaks.
  if (!items_.empty()) NotifyItem(itemIndex_, true);
  Repaint();
}

void TScrollingCtrl::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  Repaint();
}

// ---- keyboard and mouse

void TScrollingCtrl::keyPressEvent(QKeyEvent* event) {
  // Keys the open editor's fields did not take are not the list's.
  if (QApplication::focusWidget() != this) {
    event->ignore();
    return;
  }
  if (OnKeyDown && OnKeyDown(*event)) return;
  if ((event->modifiers() & Qt::AltModifier) || items_.empty()) {
    event->ignore();
    return;
  }
  HandleKey(*event);
}

void TScrollingCtrl::HandleKey(QKeyEvent& event) {
  TScrollItem& selected = *SelectedItem();
  const int client = ClientHeight();
  auto item = [this](int i) -> TScrollItem& { return *items_[static_cast<size_t>(i)]; };
  const bool lineScroll = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
  switch (event.key()) {
    case Qt::Key_Space:
      if (selected.ShowCheckBox) selected.SetChecked(!selected.checked_);
      selected.MakeVisible();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
      selected.MakeVisible();
      if (editor_ && !selected.ReadOnly) OpenEditorOn(selected);
      break;
    case Qt::Key_Up:
      if (lineScroll)
        ScrollTo(scrollPos_ - defaultItemHeight_);
      else
        item(PreviousVisible(itemIndex_)).Select();
      break;
    case Qt::Key_Down:
      if (lineScroll)
        ScrollTo(scrollPos_ + defaultItemHeight_);
      else
        item(NextVisible(itemIndex_)).Select();
      break;
    case Qt::Key_Left:
      if (selected.HasChildren())
        selected.SetCollapsed(true);
      else if (TScrollItem* parent = selected.Parent())
        parent->SetCollapsed(true);
      SelectedItem()->MakeVisible();
      break;
    case Qt::Key_Right:
      if (selected.HasChildren()) selected.SetCollapsed(false);
      selected.MakeVisible();
      break;
    case Qt::Key_Home:
      item(item(0).visible_ ? 0 : NextVisible(0)).Select();
      break;
    case Qt::Key_End: {
      const int last = Count() - 1;
      item(item(last).visible_ ? last : PreviousVisible(last)).Select();
      break;
    }
    case Qt::Key_PageDown: {
      TScrollItem* target = selected.ScreenTop() + selected.height_ < client - vertSpace_
                                ? ItemAtY(client)
                                : ItemAtY(2 * client - vertSpace_);
      if (!target) target = &item(Count() - 1);
      if (!target->visible_) target = &item(NextVisible(target->index_));
      target->Select();
      break;
    }
    case Qt::Key_PageUp: {
      TScrollItem* target = selected.ScreenTop() > vertSpace_ + topOffset_
                                ? ItemAtY(0)
                                : ItemAtY(vertSpace_ - client);
      if (!target) target = &item(0);
      if (!target->visible_) target = &item(PreviousVisible(target->index_));
      target->Select();
      break;
    }
    default:
      event.ignore();
      return;
  }
  event.accept();
}

void TScrollingCtrl::mousePressEvent(QMouseEvent* event) {
  if ((focusPolicy() & Qt::ClickFocus) && !hasFocus()) {
    setFocus(Qt::MouseFocusReason);
    Repaint();
  }
  const QPoint at = event->position().toPoint();
  if (TScrollItem* item = ItemAtY(at.y()); item && item->visible_) {
    item->Select();
    item->MouseDown(event->button(), event->modifiers(), at.x(), at.y());
  }
  if (OnMouseDown) OnMouseDown(*event);
}

void TScrollingCtrl::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(*event);
  const QPoint at = event->position().toPoint();
  if (TScrollItem* item = ItemAtY(at.y()); item && item->visible_)
    item->MouseMove(event->modifiers(), at.x(), at.y());
}

void TScrollingCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (OnMouseUp) OnMouseUp(*event);
  const QPoint at = event->position().toPoint();
  if (TScrollItem* item = ItemAtY(at.y()); item && item->visible_)
    item->MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void TScrollingCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double-click is a press too, as on the desktop's
  // own check boxes.
  mousePressEvent(event);
  if (OnDblClick) OnDblClick(*event);
  if (TScrollItem* item = ItemAtY(event->position().toPoint().y()); item && item->visible_)
    item->DblClick();
}

}  // namespace qgm::gui
