#pragma once
// The Network tab's traffic graph: a bitmap that scrolls two pixels left a
// second, with an in bar and an out bar at its right edge.

#include <QImage>
#include <QWidget>

namespace qgm::gui {

class TNetGraph : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 183, kHeight = 112;
  explicit TNetGraph(QWidget* parent = nullptr);

  // All background.
  void Reset();
  // One second: the picture moves left and the new bars are drawn.
  void Step(int inBar, int outBar);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

}  // namespace qgm::gui
