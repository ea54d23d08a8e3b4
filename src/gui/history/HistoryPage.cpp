#include "gui/history/HistoryPage.h"

#include <QEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "gui/app/Text.h"
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
