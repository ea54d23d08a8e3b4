#pragma once
// A percentage bar drawn as a picture (the page draws it), which keeps the
// percentage it shows so that a screen reader can tell it.

#include <QLabel>

namespace qgm::gui {

class TPercentBar : public QLabel {
  Q_OBJECT
 public:
  explicit TPercentBar(QWidget* parent = nullptr) : QLabel(parent) {}

  int Percent() const { return percent_; }
  // The text drawn over the bar ("19%").
  QString PercentText() const { return QStringLiteral("%1%").arg(percent_); }
  // Shows `picture`, the bar at `percent`.
  void ShowBar(const QPixmap& picture, int percent);

 private:
  int percent_ = 0;
};

}  // namespace qgm::gui
