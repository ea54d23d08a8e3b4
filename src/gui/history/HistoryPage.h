#pragma once
// The History tab (Designer form HistoryPage.ui): the day and month graphs
// of the usage history, the series check boxes with their legend, the
// hints over the bars, and the link that opens the usage log.

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

#include "core/history/HistoryGraphs.h"
#include "core/settings/Settings.h"

namespace Ui {
class HistoryPage;
}

namespace qgm::gui {

class THistoryPage : public QWidget {
  Q_OBJECT
 public:
  // The check boxes follow and update the settings' three history flags.
  THistoryPage(TSettings& settings, QWidget* parent = nullptr);
  ~THistoryPage() override;

  // Redraws both graphs from the store (kept for the hints) for a plan
  // rolling over on `rollover`'s day.
  void Redraw(const THistory& history, TDateTime rollover);
  // The plan's details arrived: the totals box shows from then on.
  void ShowTotalsBox();
  // After every update, whether the plan's details came or not: a hidden
  // totals box is unticked, downloads are ticked when nothing else is, and
  // the uploads caption follows the plan's metering.
  void SetUploadsMetered(bool metered);

  std::function<void()> OnViewLog;

  // For tests: the hint now shown, and a pointer at column x.
  QString DayHintText() const { return dayHint_; }
  void PointerAt(bool dayGraph, int x);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  int Selection() const;
  TGraphPalette Palette() const;
  void SelectionChanged();
  void DrawKeys();
  // What the graphs tell assistive tools: their bars and a summary.
  void DescribeGraphs();
  void ShowHint(QWidget* image, QString& current, const QString& text, const QPoint& global);

  std::unique_ptr<Ui::HistoryPage> ui_;
  TSettings& settings_;
  THistory empty_;                     // what is shown before the first update
  const THistory* history_ = &empty_;  // the store drawn last, for redraws
  TDateTime rollover_ = kNoDate;
  TGraphSeries days_, months_;
  bool uploadsMetered_ = true;
  QString dayHint_, monthHint_;
  qreal drawnRatio_ = 0;  // the device pixel ratio the pictures have
};

}  // namespace qgm::gui
