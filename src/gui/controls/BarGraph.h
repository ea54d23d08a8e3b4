#pragma once
// A graph picture (a label showing the drawn bars) that knows its bars:
// what each one shows, for assistive tools, and a current bar the arrow
// keys step through while the graph has the focus, marked on the picture.

#include <QLabel>

#include <functional>
#include <optional>
#include <vector>

#include "gui/accessibility/AccessibleGraph.h"

namespace qgm::gui {

struct TGraphBar {
  QString Label;  // the date or month
  QString Value;
  QRect Area;  // in the picture
};

// The bar a key moves to from `current` among `count` bars: the arrows
// step, Home and End jump; nothing for any other key.
std::optional<int> BarForKey(int key, int current, int count);

class TBarGraph : public QLabel, public IAccessibleGraph {
  Q_OBJECT
 public:
  explicit TBarGraph(QWidget* parent = nullptr);

  // The bars, oldest first, and the figures in a sentence; the current bar
  // stays on its place, or goes to the newest.
  void SetBars(std::vector<TGraphBar> bars, const QString& summary);
  void SetCurrentBar(int bar);
  // The keys moved to another bar.
  std::function<void(int bar)> OnCurrentBar;

  // IAccessibleGraph; the name is the widget's accessible name.
  QString GraphName() const override { return accessibleName(); }
  QString GraphSummary() const override { return summary_; }
  int BarCount() const override { return static_cast<int>(bars_.size()); }
  QString BarLabel(int bar) const override;
  QString BarValue(int bar) const override;
  QRect BarRect(int bar) const override;
  int CurrentBar() const override { return current_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void NotifyCurrent();

  std::vector<TGraphBar> bars_;
  QString summary_;
  int current_ = -1;
};

}  // namespace qgm::gui
