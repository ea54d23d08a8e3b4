#include "gui/accessibility/GraphAccessible.h"

#include <QWidget>
#include <QWindow>

#include "gui/accessibility/AccessibleGraph.h"

namespace qgm::gui {

QAccessibleInterface* MakeGraphAccessible(QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  const auto* graph = dynamic_cast<const IAccessibleGraph*>(object);
  return widget && graph ? new TGraphAccessible(widget, *graph) : nullptr;
}

// ---- the graph

TGraphAccessible::TGraphAccessible(QWidget* widget, const IAccessibleGraph& graph)
    : QAccessibleWidget(widget, QAccessible::Chart), graph_(graph) {}

TGraphAccessible::~TGraphAccessible() {
  for (const auto& [at, id] : cells_) QAccessible::deleteAccessibleInterface(id);
}

QString TGraphAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return graph_.GraphName();
  if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
    return graph_.GraphSummary();
  return QAccessibleWidget::text(t);
}

int TGraphAccessible::rowCount() const {
  return graph_.BarCount();
}

int TGraphAccessible::childCount() const {
  return rowCount() * kColumns;
}

QAccessibleInterface* TGraphAccessible::cellAt(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns) return nullptr;
  if (auto found = cells_.find({row, column}); found != cells_.end())
    return QAccessible::accessibleInterface(found->second);
  auto* made = new TGraphCellAccessible(widget(), row, column);
  cells_[{row, column}] = QAccessible::registerAccessibleInterface(made);
  return made;
}

QAccessibleInterface* TGraphAccessible::child(int index) const {
  return index < 0 ? nullptr : cellAt(index / kColumns, index % kColumns);
}

int TGraphAccessible::indexOfChild(const QAccessibleInterface* child) const {
  for (const auto& [at, id] : cells_)
    if (QAccessible::accessibleInterface(id) == child) return at.first * kColumns + at.second;
  return -1;
}

QAccessibleInterface* TGraphAccessible::childAt(int x, int y) const {
  const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
  for (int bar = 0; bar < rowCount(); ++bar)
    if (graph_.BarRect(bar).contains(at)) return cellAt(bar, 1);
  return nullptr;
}

QAccessibleInterface* TGraphAccessible::focusChild() const {
  return widget()->hasFocus() ? cellAt(graph_.CurrentBar(), 0) : nullptr;
}

void* TGraphAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QString TGraphAccessible::columnDescription(int column) const {
  if (column == 0) return QStringLiteral("Date");
  if (column == 1) return QStringLiteral("Value");
  return {};
}

QString TGraphAccessible::rowDescription(int row) const {
  return row >= 0 && row < rowCount() ? graph_.BarLabel(row) : QString();
}

bool TGraphAccessible::isRowSelected(int row) const {
  return row >= 0 && row == graph_.CurrentBar();
}

int TGraphAccessible::selectedRowCount() const {
  return graph_.CurrentBar() >= 0 ? 1 : 0;
}

QList<int> TGraphAccessible::selectedRows() const {
  if (graph_.CurrentBar() < 0) return {};
  return {graph_.CurrentBar()};
}

int TGraphAccessible::selectedCellCount() const {
  return selectedRowCount() * kColumns;
}

QList<QAccessibleInterface*> TGraphAccessible::selectedCells() const {
  QList<QAccessibleInterface*> cells;
  for (const int row : selectedRows())
    for (int column = 0; column < kColumns; ++column) cells << cellAt(row, column);
  return cells;
}

// ---- one cell

TGraphCellAccessible::TGraphCellAccessible(QWidget* graph, int row, int column)
    : graph_(graph), row_(row), column_(column) {}

const IAccessibleGraph* TGraphCellAccessible::Graph() const {
  return graph_ ? dynamic_cast<const IAccessibleGraph*>(graph_.data()) : nullptr;
}

bool TGraphCellAccessible::isValid() const {
  const IAccessibleGraph* graph = Graph();
  return graph && row_ < graph->BarCount();
}

QWindow* TGraphCellAccessible::window() const {
  return graph_ && graph_->window() ? graph_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TGraphCellAccessible::table() const {
  return graph_ ? QAccessible::queryAccessibleInterface(graph_.data()) : nullptr;
}

QString TGraphCellAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return {};
  const IAccessibleGraph& graph = *Graph();
  // The date cell, where the keys land, tells the value too.
  if (t == QAccessible::Name) return column_ == 0 ? graph.BarLabel(row_) : graph.BarValue(row_);
  if (t == QAccessible::Description && column_ == 0) return graph.BarValue(row_);
  return {};
}

QRect TGraphCellAccessible::rect() const {
  if (!isValid()) return {};
  const QRect bar = Graph()->BarRect(row_);
  return {graph_->mapToGlobal(bar.topLeft()), bar.size()};
}

bool TGraphCellAccessible::isSelected() const {
  return isValid() && Graph()->CurrentBar() == row_;
}

QAccessible::State TGraphCellAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.readOnly = true;
  s.selectable = true;
  s.focusable = true;
  s.selected = isSelected();
  s.focused = s.selected && column_ == 0 && graph_->hasFocus();
  return s;
}

void* TGraphCellAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableCellInterface)
    return static_cast<QAccessibleTableCellInterface*>(this);
  return nullptr;
}

}  // namespace qgm::gui
