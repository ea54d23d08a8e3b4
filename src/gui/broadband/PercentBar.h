#pragma once
// A percentage bar drawn as a picture (the page draws it), which keeps the
// percentage it shows so that a screen reader can tell it. It takes the
// focus from the Tab key, so that the keys reach the page's figures: a
// screen reader then reads the bar with the figure beside it.

#include <QLabel>

namespace qgm::gui {

class TPercentBar : public QLabel {
  Q_OBJECT
 public:
  explicit TPercentBar(QWidget* parent = nullptr);

  int Percent() const { return percent_; }
  // The text drawn over the bar ("19%").
  QString PercentText() const { return QStringLiteral("%1%").arg(percent_); }
  // The figure the bar stands for ("34,740 MB"); empty before the first.
  const QString& Figure() const { return figure_; }
  // Shows `picture`, the bar at `percent`, for `figure`.
  void ShowBar(const QPixmap& picture, int percent, const QString& figure = {});

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
  QString figure_;
};

}  // namespace qgm::gui
