#pragma once
// The CallHaven tab: one month's calls and costs by type chosen from a
// selector, when the data was fetched, and a bar graph of the last 28
// months' totals with a hint per bar.

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>

#include "core/callusage/CallMonths.h"
#include "gui/accessibility/AccessibleGraph.h"

class QComboBox;
class QGroupBox;
class QLabel;

namespace qgm::gui {

class TFocusLabel;

// The graph: 28 shaded bars on the button face, a hint per bar; told to
// assistive tools as its months' totals (column 0 the oldest).
class TCallGraph : public QWidget, public IAccessibleGraph {
  Q_OBJECT
 public:
  explicit TCallGraph(QWidget* parent = nullptr);
  // Redraws the bars for the months (nothing but the background while
  // there are fewer than 28); the scale in whole dollars.
  int Draw(const TCallhaven& calls);
  // The picture, in the screen's device pixels.
  const QImage& Image() const { return image_; }
  std::function<void(int column)> OnColumnClick;
  std::function<QString(int column)> HintFor;

  // IAccessibleGraph; the name is the widget's accessible name.
  QString GraphName() const override { return accessibleName(); }
  QString GraphSummary() const override;
  int BarCount() const override;
  QString BarLabel(int bar) const override;
  QString BarValue(int bar) const override;
  QRect BarRect(int bar) const override;
  int CurrentBar() const override { return current_; }
  // The bar the arrow keys are on (while the graph has the focus); its
  // hint shows as the pointer's does, Enter or Space show its month.
  void SetCurrentBar(int bar);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The picture at the screen's pixel ratio: the bars of `calls`, or the
  // background alone.
  int Render(const TCallhaven* calls);

  const TCallhaven* calls_ = nullptr;  // drawn last, for a new pixel ratio
  QImage image_;
  QString hint_;
  int current_ = -1;
};

class TCallhavenPage : public QWidget {
  Q_OBJECT
 public:
  explicit TCallhavenPage(QWidget* parent = nullptr);

  // The refresh sequence's last steps: the graph, the texts LoadCallMonths
  // gives, and month 0.
  void ShowMonths(const TCallhaven& calls, const TCallMonthsLoaded& loaded);
  void ShowCallMonth(int index);
  // While a refresh runs: the update link off and the hourglass on.
  void SetRefreshing(bool running);

  std::function<void()> OnUpdate;
  // Opens the month file of (year, month).
  std::function<void(int year, int month)> OnDetails;

  TCallGraph* Graph() const { return imgCallhaven_; }
  QComboBox* Selector() const { return cbCallhaven_; }
  TFocusLabel* UpdateLink() const { return fLblPhoneUpdate_; }
  TFocusLabel* DetailsLink() const { return fLblPhoneDetails_; }

 private:
  QLabel* Value(const char* name);

  const TCallhaven* calls_ = nullptr;
  QGroupBox* gbCallhaven1_;
  QComboBox* cbCallhaven_;
  TFocusLabel* fLblPhoneDetails_;
  TFocusLabel* fLblPhoneUpdate_;
  QLabel* lblChUpdate_;
  QLabel* lblChMax_;
  QLabel* lblChLo_;
  QLabel* lblChHi_;
  TCallGraph* imgCallhaven_;
};

}  // namespace qgm::gui
