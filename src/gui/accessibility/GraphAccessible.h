#pragma once
// A bar graph (IAccessibleGraph) as assistive tools see it: a chart named
// by its caption and described by its summary, and a table of one row per
// bar (the date or month, the value) whose cells are its children.

#include <QAccessibleWidget>
#include <QPointer>
#include "gui/accessibility/LeafAccessible.h"

#include <map>
#include <utility>

namespace qgm::gui {

class IAccessibleGraph;

// The interface for a widget that is an IAccessibleGraph, else nullptr.
QAccessibleInterface* MakeGraphAccessible(QObject* object);

class TGraphAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  TGraphAccessible(QWidget* widget, const IAccessibleGraph& graph);
  ~TGraphAccessible() override;

  static constexpr int kColumns = 2;
  const IAccessibleGraph& Graph() const { return graph_; }

  QString text(QAccessible::Text t) const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // QAccessibleTableInterface
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int column) const override;
  QString rowDescription(int row) const override;
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override;
  int columnCount() const override { return kColumns; }
  int rowCount() const override;
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override;
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override;
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

 private:
  const IAccessibleGraph& graph_;
  mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

class TGraphCellAccessible : public TLeafAccessible, public QAccessibleTableCellInterface {
 public:
  TGraphCellAccessible(QWidget* graph, int row, int column);

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override { return table(); }
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // QAccessibleTableCellInterface
  bool isSelected() const override;
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override;

 private:
  const IAccessibleGraph* Graph() const;

  QPointer<QWidget> graph_;
  int row_, column_;
};

}  // namespace qgm::gui
