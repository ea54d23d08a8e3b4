#include "gui/broadband/BroadbandPage.h"
#include "gui/app/Text.h"

#include <QLabel>
#include <QPainter>

#include <cmath>

#include "core/usage/PercentBar.h"
#include "core/util/CodePage.h"
#include "gui/broadband/PercentBar.h"
#include "gui/controls/Contrast.h"
#include "gui/tray/TrayIcon.h"
#include "ui_BroadbandPage.h"

namespace qgm::gui {
namespace {

QColor ToQColor(uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Black is the ordinary text colour, which the desktop's palette gives;
// the colours that tell something keep their hue, made legible.
void Set(QLabel* label, const TLabelText& t) {
  label->setText(Q(t.Text));
  label->setStyleSheet(
      t.Colour == 0
          ? QString()
          : QStringLiteral("color: %1;").arg(LegibleOn(*label, ToQColor(t.Colour)).name()));
}

}  // namespace

TBroadbandPage::TBroadbandPage(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::BroadbandPage>()) {
  ui_->setupUi(this);
  // The bars start full, in aqua: no figures yet.
  SetBar(ui_->imgAmtLeft, 100, kAqua);
  SetBar(ui_->imgDaysLeft, 100, kAqua);
}

TBroadbandPage::~TBroadbandPage() = default;

void TBroadbandPage::SetBar(TPercentBar* image, int percent, uint32_t colour,
                            const QString& figure) {
  const int w = 275, h = 18;
  // Drawn in the screen's own pixels, so a screen of twice the density
  // shows a bar and a percentage as sharp as its text.
  const qreal ratio = image->devicePixelRatioF();
  TPixmap bar(static_cast<int>(std::lround(w * ratio)), static_cast<int>(std::lround(h * ratio)),
              0xFFF0F0F0u);
  DrawPercentBar(bar, percent, colour);
  QPixmap pixmap = ToQPixmap(bar);
  pixmap.setDevicePixelRatio(ratio);
  // The percentage over the bar, in the form's font one point smaller, bold.
  QPainter painter(&pixmap);
  QFont font = this->font();
  font.setPixelSize(std::max(8, font.pixelSize() > 0 ? font.pixelSize() - 1 : 11));
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QStringLiteral("%1%").arg(percent));
  painter.end();
  image->ShowBar(pixmap, percent, figure);
}

void TBroadbandPage::ShowFigures(const TBroadbandFigures& f) {
  Set(ui_->lblMeteredUsage, f.MeteredUsage);
  Set(ui_->lblAmtLeft, f.AmtLeft);
  Set(ui_->lblAllowance, f.Allowance);
  Set(ui_->lblDaysLeft, f.DaysLeft);
  Set(ui_->lblRelativeUsage, f.RelativeUsage);
  Set(ui_->lblStartAv, f.StartAv);
  Set(ui_->lblCurrentAv, f.CurrentAv);
  Set(ui_->lblRestAv, f.RestAv);
  Set(ui_->lblRollover, f.Rollover);
  Set(ui_->lblShaping, f.Shaping);
  SetBar(ui_->imgAmtLeft, f.AmountBar, f.BarColour, Q(f.AmtLeft.Text));
  SetBar(ui_->imgDaysLeft, f.DaysBar, f.BarColour, Q(f.DaysLeft.Text));
}

void TBroadbandPage::ShowProjection(const TLabelText& line) {
  Set(ui_->lblProjection, line);
  ui_->lblProjection->setVisible(!line.Text.empty());
}

// The plan's other details (carrier, upload metering, caps, excess fee)
// belong to the provider page.
void TBroadbandPage::ShowServiceDetails(const TServiceDetails& d) {
  ui_->lblSpeedCaption->setText(Q(d.SpeedCaption));
  ui_->lblSpeed->setText(Q(d.Speed));
  ui_->lblPlan->setText(Q(d.Plan));
  ui_->lblShaping->setText(Q(d.Shaping));
  ui_->lblPlanCost->setText(Q(d.PlanCost));
}

void TBroadbandPage::ShowTodayMetered(const std::string& text) {
  ui_->lblTodayMetered->setText(Q(text));
}

}  // namespace qgm::gui
