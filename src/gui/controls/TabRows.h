#pragma once
// The tab control's multi-line mode: the captions of a tab widget wrap onto
// further rows instead of running off the edge of a fixed-size window, so
// every visible tab stays in sight and clickable. Each row is stretched to
// the full width, and the row holding the current tab sits next to the
// pages, as multi-line tab controls do. It takes the place of the tab
// widget's own bar; Alt + a caption's accelerator is left to the window.

#include <QWidget>

#include <vector>

class QTabWidget;

namespace qgm::gui {

class TTabRows : public QWidget {
  Q_OBJECT
 public:
  explicit TTabRows(QTabWidget* tabs, QWidget* parent = nullptr);

  // A tab was shown or hidden: the rows are laid out afresh.
  void Refresh() {
    Relayout();
    update();
  }
  // Where tab `index` is drawn (empty for a hidden tab).
  QRect TabRect(int index) const;
  int RowCount() const { return rowCount_; }
  QTabWidget* Tabs() const { return tabs_; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Relayout();
  int RowHeight() const;
  int NaturalWidth(int index) const;

  QTabWidget* tabs_;
  std::vector<QRect> rects_;
  int rowCount_ = 1;
};

}  // namespace qgm::gui
