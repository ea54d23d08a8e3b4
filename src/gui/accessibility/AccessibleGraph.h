#pragma once
// What a bar graph tells assistive tools: what it shows, a summary of it,
// and each bar's date (or month) and value. A graph widget implements it;
// the graph's accessible interface reads it (GraphAccessible).

#include <QRect>
#include <QString>

namespace qgm::gui {

class IAccessibleGraph {
 public:
  virtual ~IAccessibleGraph() = default;
  // The caption above the graph, and the figures it shows in a sentence.
  virtual QString GraphName() const = 0;
  virtual QString GraphSummary() const = 0;
  virtual int BarCount() const = 0;
  virtual QString BarLabel(int bar) const = 0;
  virtual QString BarValue(int bar) const = 0;
  // The bar's place in the widget.
  virtual QRect BarRect(int bar) const = 0;
  // The bar the keys are on, -1 for none.
  virtual int CurrentBar() const { return -1; }
};

}  // namespace qgm::gui
