#pragma once
// A TScrollingCtrl as assistive tools see it: a list (a tree where items
// hold others) with one child per item shown, named by the item's text,
// with its states (selected, checked, expanded, focused) and the actions
// its keys offer (toggle, expand or collapse, edit, and the item's own).

#include <QAccessibleWidget>
#include <QPointer>
#include "gui/accessibility/LeafAccessible.h"

#include <map>

namespace qgm::gui {

class TScrollingCtrl;
class TScrollItem;

class TScrollingCtrlAccessible : public QAccessibleWidget {
 public:
  explicit TScrollingCtrlAccessible(TScrollingCtrl* list);
  ~TScrollingCtrlAccessible() override;

  QAccessible::Role role() const override;
  // The name is the widget's accessible name (its page gives it its
  // caption's), as QAccessibleWidget has it.
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

  TScrollingCtrl* List() const;

 private:
  // The item interfaces made so far, by item index.
  mutable std::map<int, QAccessible::Id> items_;
};

class TScrollItemAccessible : public TLeafAccessible, public QAccessibleActionInterface {
 public:
  TScrollItemAccessible(TScrollingCtrl* list, int index);

  // The item now at this interface's index, if the list still has one.
  TScrollItem* Item() const;
  int ItemIndex() const { return index_; }

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // QAccessibleActionInterface
  QStringList actionNames() const override;
  void doAction(const QString& action) override;
  QStringList keyBindingsForAction(const QString& action) const override;

  static QString ExpandAction();
  static QString CollapseAction();

 private:
  QPointer<TScrollingCtrl> list_;
  int index_;
};

}  // namespace qgm::gui
