#include "gui/accessibility/ScrollingCtrlAccessible.h"

#include <QScrollBar>
#include <QWidget>
#include <QWindow>

#include "gui/controls/ScrollingCtrl.h"

namespace qgm::gui {

// ---- the list

TScrollingCtrlAccessible::TScrollingCtrlAccessible(TScrollingCtrl* list)
    : QAccessibleWidget(list, QAccessible::List) {}

TScrollingCtrlAccessible::~TScrollingCtrlAccessible() {
  for (const auto& [index, id] : items_) QAccessible::deleteAccessibleInterface(id);
}

TScrollingCtrl* TScrollingCtrlAccessible::List() const {
  return static_cast<TScrollingCtrl*>(widget());
}

QAccessible::Role TScrollingCtrlAccessible::role() const {
  // An outline is a tree.
  const TScrollingCtrl* list = List();
  for (int i = 0; i < list->Count(); ++i)
    if (list->GetItem(i)->Level > 0) return QAccessible::Tree;
  return QAccessible::List;
}

int TScrollingCtrlAccessible::childCount() const {
  return List()->VisibleCount();
}

QAccessibleInterface* TScrollingCtrlAccessible::child(int index) const {
  const TScrollItem* item = List()->VisibleItem(index);
  if (!item) return nullptr;
  const int itemIndex = item->Index();
  if (auto found = items_.find(itemIndex); found != items_.end())
    return QAccessible::accessibleInterface(found->second);
  auto* made = new TScrollItemAccessible(List(), itemIndex);
  items_[itemIndex] = QAccessible::registerAccessibleInterface(made);
  return made;
}

int TScrollingCtrlAccessible::indexOfChild(const QAccessibleInterface* child) const {
  for (const auto& [index, id] : items_)
    if (QAccessible::accessibleInterface(id) == child) return List()->VisiblePosition(index);
  return -1;
}

QAccessibleInterface* TScrollingCtrlAccessible::childAt(int x, int y) const {
  const TScrollingCtrl* list = List();
  const QPoint at = list->viewport()->mapFromGlobal(QPoint(x, y));
  if (!list->viewport()->rect().contains(at)) return nullptr;
  const TScrollItem* item = list->ItemAtY(at.y());
  return item ? child(list->VisiblePosition(item->Index())) : nullptr;
}

QAccessibleInterface* TScrollingCtrlAccessible::focusChild() const {
  const TScrollingCtrl* list = List();
  if (!list->hasFocus() || list->Count() == 0) return nullptr;
  return child(list->VisiblePosition(list->ItemIndex()));
}

// ---- one item

TScrollItemAccessible::TScrollItemAccessible(TScrollingCtrl* list, int index)
    : list_(list), index_(index) {}

TScrollItem* TScrollItemAccessible::Item() const {
  return list_ && index_ < list_->Count() ? list_->GetItem(index_) : nullptr;
}

bool TScrollItemAccessible::isValid() const {
  return Item() != nullptr;
}

QWindow* TScrollItemAccessible::window() const {
  return list_ && list_->window() ? list_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TScrollItemAccessible::parent() const {
  return list_ ? QAccessible::queryAccessibleInterface(list_.data()) : nullptr;
}

QString TScrollItemAccessible::text(QAccessible::Text t) const {
  const TScrollItem* item = Item();
  if (!item) return {};
  switch (t) {
    case QAccessible::Name:
      return item->AccessibleText();
    case QAccessible::Description:
      return item->AccessibleDescription();
    default:
      return {};
  }
}

QRect TScrollItemAccessible::rect() const {
  const TScrollItem* item = Item();
  if (!item || !item->Visible()) return {};
  const QPoint topLeft = list_->viewport()->mapToGlobal(QPoint(0, item->ScreenTop()));
  return {topLeft, QSize(list_->ClientWidth(), item->Height())};
}

QAccessible::Role TScrollItemAccessible::role() const {
  const TScrollItem* item = Item();
  if (item && item->ShowCheckBox) return QAccessible::CheckBox;
  return parent() && parent()->role() == QAccessible::Tree ? QAccessible::TreeItem
                                                           : QAccessible::ListItem;
}

QAccessible::State TScrollItemAccessible::state() const {
  QAccessible::State s;
  const TScrollItem* item = Item();
  if (!item) {
    s.invalid = true;
    return s;
  }
  s.selectable = true;
  s.focusable = true;
  s.selected = item->Selected();
  s.focused = item->Selected() && list_->hasFocus();
  s.active = s.focused;
  s.readOnly = item->ReadOnly;
  if (item->ShowCheckBox) {
    s.checkable = true;
    s.checked = item->Checked();
  }
  if (item->CanExpand()) {
    s.expandable = true;
    s.expanded = item->ShowsExpanded();
    s.collapsed = !s.expanded;
  }
  const int top = item->ScreenTop();
  s.offscreen = !item->Visible() || top + item->Height() <= 0 || top >= list_->ClientHeight();
  s.invisible = !item->Visible();
  return s;
}

void* TScrollItemAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
  return nullptr;
}

QString TScrollItemAccessible::ExpandAction() {
  return QStringLiteral("Expand");
}

QString TScrollItemAccessible::CollapseAction() {
  return QStringLiteral("Collapse");
}

QStringList TScrollItemAccessible::actionNames() const {
  const TScrollItem* item = Item();
  if (!item) return {};
  QStringList names{setFocusAction()};
  if (item->ShowCheckBox) names << toggleAction();
  if (item->CanExpand()) names << (item->ShowsExpanded() ? CollapseAction() : ExpandAction());
  if (list_->ItemEditor() && !item->ReadOnly) names << pressAction();
  names << item->ItemActions();
  return names;
}

void TScrollItemAccessible::doAction(const QString& action) {
  TScrollItem* item = Item();
  if (!item || !actionNames().contains(action)) return;
  if (action == setFocusAction()) {
    list_->setFocus(Qt::OtherFocusReason);
    item->Select();
  } else if (action == toggleAction()) {
    item->Select();
    item->SetChecked(!item->Checked());
  } else if (action == ExpandAction() || action == CollapseAction()) {
    item->Select();
    item->ExpandItem(action == ExpandAction());
  } else if (action == pressAction()) {
    // The editor opens on the selected item, as Enter opens it.
    item->Select();
    list_->PostOpenEditor();
  } else {
    item->DoItemAction(action);
  }
}

QStringList TScrollItemAccessible::keyBindingsForAction(const QString& action) const {
  if (action == toggleAction()) return {QStringLiteral("Space")};
  if (action == ExpandAction()) return {QStringLiteral("Right")};
  if (action == CollapseAction()) return {QStringLiteral("Left")};
  if (action == pressAction()) return {QStringLiteral("Return"), QStringLiteral("F2")};
  return {};
}

}  // namespace qgm::gui
