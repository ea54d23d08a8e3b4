#pragma once
// The Network tab's traffic graph: a bitmap that scrolls two pixels left a
// second, with an in bar and an out bar at its right edge. Sizes are at
// 96 dpi; the bitmap itself has the screen's pixel ratio, so on a HiDPI
// screen the bars are drawn sharp rather than stretched.

#include <QImage>
#include <QWidget>

#include <deque>

#include "gui/accessibility/AccessibleGraph.h"

namespace qgm::gui {

class TNetGraph : public QWidget, public IAccessibleGraph {
  Q_OBJECT
 public:
  static constexpr int kWidth = 183, kHeight = 112;
  explicit TNetGraph(QWidget* parent = nullptr);

  // All background.
  void Reset();
  // One second: the picture moves left and the new bars (0..kHeight) are
  // drawn.
  void Step(int inBar, int outBar);
  // The bitmap, in device pixels (its devicePixelRatio says how many).
  const QImage& Image() const { return image_; }
  // Redraws the bitmap for another pixel ratio, keeping what it shows.
  void SetPixelRatio(qreal ratio);
  // What the last step's bars show, in words, for assistive tools: one
  // row a second for the seconds on the picture.
  void Tell(const QString& speeds);

  // IAccessibleGraph; the name is the widget's accessible name.
  QString GraphName() const override { return accessibleName(); }
  QString GraphSummary() const override;
  int BarCount() const override { return static_cast<int>(told_.size()); }
  QString BarLabel(int bar) const override;
  QString BarValue(int bar) const override;
  QRect BarRect(int bar) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  std::deque<QString> told_;  // oldest first
};

}  // namespace qgm::gui
