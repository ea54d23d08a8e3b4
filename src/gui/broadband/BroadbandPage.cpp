#include "gui/broadband/BroadbandPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "core/usage/PercentBar.h"
#include "core/util/CodePage.h"
#include "gui/tray/TrayIcon.h"

namespace qgm::gui {
namespace {

QString Q(const std::string& text1252) {
  return QString::fromStdString(Cp1252ToUtf8(text1252));
}

QColor ToQColor(uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void Set(QLabel* label, const TLabelText& t) {
  label->setText(Q(t.Text));
  label->setStyleSheet(QStringLiteral("color: %1;").arg(ToQColor(t.Colour).name()));
}

}  // namespace

QLabel* TBroadbandPage::AddRow(QGridLayout* grid, int row, const QString& caption,
                               const char* name) {
  grid->addWidget(new QLabel(caption, this), row, 0);
  auto* value = new QLabel(this);
  value->setObjectName(QString::fromLatin1(name));
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(value, row, 1);
  return value;
}

TBroadbandPage::TBroadbandPage(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QGridLayout;
  lblAmtLeft_ = AddRow(top, 0, tr("Metered usage remaining:"), "lblAmtLeft");
  imgAmtLeft_ = new QLabel(this);
  imgAmtLeft_->setObjectName(QStringLiteral("imgAmtLeft"));
  top->addWidget(imgAmtLeft_, 1, 0, 1, 2);
  lblDaysLeft_ = AddRow(top, 2, tr("Days in month remaining:"), "lblDaysLeft");
  imgDaysLeft_ = new QLabel(this);
  imgDaysLeft_->setObjectName(QStringLiteral("imgDaysLeft"));
  top->addWidget(imgDaysLeft_, 3, 0, 1, 2);
  lblMeteredUsage_ = AddRow(top, 4, tr("Metered This Month:"), "lblMeteredUsage");
  lblRelativeUsage_ = AddRow(top, 5, tr("Relative to days left:"), "lblRelativeUsage");
  lblTodayMetered_ = AddRow(top, 6, tr("Metered Today:"), "lblTodayMetered");
  layout->addLayout(top);

  auto* averages = new QGroupBox(tr(" Metered Daily Averages "), this);
  auto* ag = new QGridLayout(averages);
  lblStartAv_ = AddRow(ag, 0, tr("At start of month:"), "lblStartAv");
  lblCurrentAv_ = AddRow(ag, 1, tr("So far this month:"), "lblCurrentAv");
  lblRestAv_ = AddRow(ag, 2, tr("For rest of month:"), "lblRestAv");
  layout->addWidget(averages);

  auto* plan = new QGroupBox(tr(" Plan "), this);
  auto* pg = new QGridLayout(plan);
  lblAllowance_ = AddRow(pg, 0, tr("Monthly allowance:"), "lblAllowance");
  lblRollover_ = AddRow(pg, 1, tr("Next month starts:"), "lblRollover");
  lblSpeedCaption_ = new QLabel(tr("Maximum Speed"), this);
  pg->addWidget(lblSpeedCaption_, 2, 0);
  lblSpeed_ = new QLabel(this);
  lblSpeed_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  pg->addWidget(lblSpeed_, 2, 1);
  lblPlan_ = AddRow(pg, 3, tr("Plan:"), "lblPlan");
  lblShaping_ = AddRow(pg, 4, tr("Shaped when over:"), "lblShaping");
  lblPlanCost_ = AddRow(pg, 5, tr("Plan cost:"), "lblPlanCost");
  layout->addWidget(plan);
  layout->addStretch();

  SetBar(imgAmtLeft_, 100, kAqua);
  SetBar(imgDaysLeft_, 100, kAqua);
}

void TBroadbandPage::SetBar(QLabel* image, int percent, uint32_t colour) {
  const int w = 275, h = 18;
  TPixmap bar(w, h, 0xFFF0F0F0u);
  DrawPercentBar(bar, percent, colour);
  QPixmap pixmap = ToQPixmap(bar);
  QPainter painter(&pixmap);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(11);
  painter.setFont(font);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("%1%").arg(percent));
  painter.end();
  image->setPixmap(pixmap);
}

void TBroadbandPage::ShowFigures(const TBroadbandFigures& f) {
  Set(lblMeteredUsage_, f.MeteredUsage);
  Set(lblAmtLeft_, f.AmtLeft);
  Set(lblAllowance_, f.Allowance);
  Set(lblDaysLeft_, f.DaysLeft);
  Set(lblRelativeUsage_, f.RelativeUsage);
  Set(lblStartAv_, f.StartAv);
  Set(lblCurrentAv_, f.CurrentAv);
  Set(lblRestAv_, f.RestAv);
  Set(lblRollover_, f.Rollover);
  Set(lblShaping_, f.Shaping);
  SetBar(imgAmtLeft_, f.AmountBar, f.BarColour);
  SetBar(imgDaysLeft_, f.DaysBar, f.BarColour);
}

void TBroadbandPage::ShowServiceDetails(const TServiceDetails& d) {
  lblSpeedCaption_->setText(Q(d.SpeedCaption));
  lblSpeed_->setText(Q(d.Speed));
  lblPlan_->setText(Q(d.Plan));
  lblShaping_->setText(Q(d.Shaping));
  lblPlanCost_->setText(Q(d.PlanCost));
}

}  // namespace qgm::gui
