#pragma once
// The part every accessible node without an object and without children
// of its own shares (a page tab, a list item, a graph's cell): no object,
// no children, no relations, a text that cannot be set.

#include <QAccessibleInterface>

namespace qgm::gui {

class TLeafAccessible : public QAccessibleInterface {
 public:
  QObject* object() const override { return nullptr; }
  QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation) const override {
    return {};
  }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  void setText(QAccessible::Text, const QString&) override {}
};

}  // namespace qgm::gui
