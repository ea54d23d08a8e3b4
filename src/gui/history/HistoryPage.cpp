#include "gui/history/HistoryPage.h"

#include <QEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "core/util/DateTime.h"
#include "core/util/Format.h"
#include "gui/app/Text.h"
#include "gui/controls/BarGraph.h"
#include "gui/controls/PlainText.h"
#include "gui/tray/TrayIcon.h"
#include "ui_HistoryPage.h"

namespace qgm::gui {
namespace {

uint32_t Argb(const QColor& c) {
  return 0xFF000000u | (static_cast<uint32_t>(c.red()) << 16) |
         (static_cast<uint32_t>(c.green()) << 8) | static_cast<uint32_t>(c.blue());
}

// A picture drawn at `ratio` device pixels to a logical one, shown at its
// logical size.
QPixmap AtRatio(const TPixmap& picture, qreal ratio) {
  QPixmap pixmap = ToQPixmap(picture);
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

void ShowLabels(const TGraphLabels& l, QLabel* first, QLabel* last, QLabel* max, QGroupBox* group) {
  if (!l.Set) return;  // an empty store leaves the labels as they were
  first->setText(Q(l.First));
  last->setText(Q(l.Last));
  max->setText(Q(l.Max));
  group->setTitle(Q(l.Caption));
}

// The first series the check boxes show, as the graph's summary counts it.
Money Shown(const TGraphSeries& series, size_t bar, int selection) {
  if (selection & kSelectTotals) return series.Totals[bar];
  if (selection & kSelectDownloads) return series.Downloads[bar];
  return series.Uploads[bar];
}

// The bars with a date; each named by its hint's first line, its value the
// hint's other lines.
std::vector<TGraphBar> Bars(const TGraphSeries& series, int height,
                            const std::function<std::string(int x)>& hint) {
  std::vector<TGraphBar> bars;
  const int w = BarWidth();
  for (int i = 0; i < kGraphBars; ++i) {
    if (series.Dates[static_cast<size_t>(i)] == kNoDate) continue;
    const int left = 2 + i * w;
    QStringList lines = Q(hint(left + w / 2)).split(QLatin1Char('\n'));
    TGraphBar bar;
    bar.Label = lines.takeFirst();
    bar.Value = lines.join(QStringLiteral(", "));
    bar.Area = QRect(left, 0, w, height);
    bars.push_back(bar);
  }
  return bars;
}

// "31 days up to 8 Dec, highest 16 MB on 4 Dec, today 1 MB", and the
// months' likewise.
QString Summary(const TGraphSeries& series, int selection, bool months) {
  int count = 0;
  size_t highest = 0, first = series.Dates.size();
  for (size_t i = 0; i < series.Dates.size(); ++i) {
    if (series.Dates[i] == kNoDate) continue;
    if (first == series.Dates.size()) first = i;
    ++count;
    if (first == i || Shown(series, i, selection) > Shown(series, highest, selection)) highest = i;
  }
  if (count == 0) return QStringLiteral("No history yet");
  const size_t last = series.Dates.size() - 1;
  auto amount = [&](size_t i) {
    const Money m = Shown(series, i, selection);
    return months ? Format("%1.2n GB", {m / 1000}) : Format("%1.0n MB", {m});
  };
  auto date = [&](size_t i) { return FormatDateTime("d mmm yyyy", series.Dates[i]); };
  if (months) {
    return Q(
        Format("%d billing months up to the month starting %s, highest %s in the month "
               "starting %s, this month %s",
               {count, date(last), amount(highest), date(highest), amount(last)}));
  }
  return Q(Format("%d days up to %s, highest %s on %s, today %s",
                  {count, date(last), amount(highest), date(highest), amount(last)}));
}

}  // namespace

THistoryPage::THistoryPage(TSettings& settings, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::HistoryPage>()), settings_(settings) {
  ui_->setupUi(this);
  ui_->lblViewMetered->SetCaption(tr("Vi&ew Usage Log"));
  ui_->lblViewMetered->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ui_->lblViewMetered->SetTabStop(true);
  ui_->lblViewMetered->OnClick = [this] {
    if (!OnViewLog) return;
    setCursor(Qt::WaitCursor);
    OnViewLog();
    unsetCursor();
  };
  // The totals box waits for the plan's details.
  ui_->cbTotals->setVisible(false);
  ui_->imgKeyTotal->setVisible(false);

  if (!settings_.ShowHistoryTotals && !settings_.ShowHistoryDownloads &&
      !settings_.ShowHistoryUploads) {
    settings_.ShowHistoryDownloads = true;
  }
  ui_->cbTotals->setChecked(settings_.ShowHistoryTotals);
  ui_->cbDownloads->setChecked(settings_.ShowHistoryDownloads);
  ui_->cbUploads->setChecked(settings_.ShowHistoryUploads);
  for (QCheckBox* box : {ui_->cbTotals, ui_->cbDownloads, ui_->cbUploads})
    connect(box, &QCheckBox::toggled, this, [this] { SelectionChanged(); });
  ui_->imgDayHistory->installEventFilter(this);
  ui_->imgMonthHistory->installEventFilter(this);
  // The keys stepping through the bars show each bar's hint, as the
  // pointer does.
  ui_->imgDayHistory->OnCurrentBar = [this](int bar) {
    PointerAt(true, ui_->imgDayHistory->BarRect(bar).center().x());
  };
  ui_->imgMonthHistory->OnCurrentBar = [this](int bar) {
    PointerAt(false, ui_->imgMonthHistory->BarRect(bar).center().x());
  };
  DrawKeys();
  Redraw(empty_, kNoDate);
}

THistoryPage::~THistoryPage() = default;

int THistoryPage::Selection() const {
  return (ui_->cbTotals->isChecked() ? kSelectTotals : 0) |
         (ui_->cbDownloads->isChecked() ? kSelectDownloads : 0) |
         (ui_->cbUploads->isChecked() ? kSelectUploads : 0);
}

TGraphPalette THistoryPage::Palette() const {
  const QPalette& p = palette();
  return {Argb(p.color(QPalette::Button)), Argb(p.color(QPalette::Dark)),
          Argb(p.color(QPalette::Light))};
}

void THistoryPage::SelectionChanged() {
  settings_.ShowHistoryTotals = ui_->cbTotals->isChecked();
  settings_.ShowHistoryDownloads = ui_->cbDownloads->isChecked();
  settings_.ShowHistoryUploads = ui_->cbUploads->isChecked();
  Redraw(*history_, rollover_);
}

void THistoryPage::Redraw(const THistory& history, TDateTime rollover) {
  history_ = &history;
  rollover_ = rollover;
  const int selection = Selection();
  const TGraphPalette palette = Palette();
  days_ = DaySeries(history);
  months_ = MonthSeries(history, rollover);
  // Drawn into one scratch picture in the screen's device pixels, so a
  // screen of twice the density shows the bars in finer steps; the labels
  // keep only Qt's copies.
  const qreal ratio = ui_->imgDayHistory->devicePixelRatioF();
  drawnRatio_ = ratio;
  TPixmap picture(GraphPixels(kGraphWidth, ratio), GraphPixels(kGraphHeight, ratio));
  ShowLabels(DrawDayGraph(picture, history, days_, selection, palette, ratio), ui_->lblFirstDt1,
             ui_->lblLastDt1, ui_->lblMaxVal1, ui_->gbDayHistory);
  ui_->imgDayHistory->setPixmap(AtRatio(picture, ratio));
  ShowLabels(DrawMonthGraph(picture, history, months_, selection, palette, ratio), ui_->lblFirstDt2,
             ui_->lblLastDt2, ui_->lblMaxVal2, ui_->gbMonthHistory);
  ui_->imgMonthHistory->setPixmap(AtRatio(picture, ratio));
  DescribeGraphs();
}

void THistoryPage::DescribeGraphs() {
  const int selection = Selection();
  ui_->imgDayHistory->setAccessibleName(ui_->gbDayHistory->title());
  ui_->imgDayHistory->SetBars(
      Bars(days_, kGraphHeight,
           [&](int x) { return DayHint(days_, x, selection, uploadsMetered_); }),
      Summary(days_, selection, false));
  ui_->imgMonthHistory->setAccessibleName(ui_->gbMonthHistory->title());
  ui_->imgMonthHistory->SetBars(
      Bars(months_, kGraphHeight,
           [&](int x) { return MonthHint(months_, x, selection, uploadsMetered_); }),
      Summary(months_, selection, true));
}

void THistoryPage::ShowTotalsBox() {
  ui_->cbTotals->setText(tr("&Totals"));
  ui_->cbTotals->setVisible(true);
  ui_->imgKeyTotal->setVisible(true);
}

void THistoryPage::SetUploadsMetered(bool metered) {
  // isHidden: the page itself may not be on screen.
  if (ui_->cbTotals->isHidden()) ui_->cbTotals->setChecked(false);
  if (!ui_->cbDownloads->isChecked() && !ui_->cbUploads->isChecked())
    ui_->cbDownloads->setChecked(true);
  uploadsMetered_ = metered;
  ui_->cbUploads->setText(metered ? tr("&Uploads (Metered)") : tr("&Uploads (Unmetered)"));
  DescribeGraphs();
}

void THistoryPage::DrawKeys() {
  const TGraphPalette palette = Palette();
  const qreal ratio = ui_->imgKeyDown->devicePixelRatioF();
  ui_->imgKeyTotal->setPixmap(AtRatio(DrawKey(kSeriesTotals, palette, ratio), ratio));
  ui_->imgKeyDown->setPixmap(AtRatio(DrawKey(kSeriesDownloads, palette, ratio), ratio));
  ui_->imgKeyUp->setPixmap(AtRatio(DrawKey(kSeriesUploads, palette, ratio), ratio));
  ui_->imgKeyWE->setPixmap(AtRatio(DrawKey(kSeriesWeekend, palette, ratio), ratio));
}

void THistoryPage::ShowHint(QWidget* image, QString& current, const QString& text,
                            const QPoint& global) {
  // Moving within one bar keeps the hint as it is.
  if (text == current) return;
  current = text;
  image->setToolTip(PlainToolTip(text));
  if (text.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(global, PlainToolTip(text), image);
  }
}

void THistoryPage::PointerAt(bool dayGraph, int x) {
  QLabel* image = dayGraph ? ui_->imgDayHistory : ui_->imgMonthHistory;
  const QPoint global = image->mapToGlobal(QPoint(x, image->height() / 2));
  if (dayGraph) {
    ShowHint(image, dayHint_, Q(DayHint(days_, x, Selection(), uploadsMetered_)), global);
  } else {
    ShowHint(image, monthHint_, Q(MonthHint(months_, x, Selection(), uploadsMetered_)), global);
  }
}

bool THistoryPage::eventFilter(QObject* watched, QEvent* event) {
  const bool day = watched == ui_->imgDayHistory;
  if ((day || watched == ui_->imgMonthHistory) && event->type() == QEvent::MouseMove) {
    PointerAt(day, static_cast<QMouseEvent*>(event)->position().toPoint().x());
  }
  if ((day || watched == ui_->imgMonthHistory) && event->type() == QEvent::ToolTip) {
    return true;  // the hints are shown as the pointer moves
  }
  return QWidget::eventFilter(watched, event);
}

void THistoryPage::paintEvent(QPaintEvent* event) {
  // Moved to a screen of another pixel ratio since the last pictures.
  if (devicePixelRatioF() != drawnRatio_) {
    DrawKeys();
    Redraw(*history_, rollover_);
  }
  QWidget::paintEvent(event);
}

void THistoryPage::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    DrawKeys();
    Redraw(*history_, rollover_);
  }
}

}  // namespace qgm::gui
