#include "gui/setup/AlertsPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace qgm::gui {

namespace {

QLineEdit* PercentEdit(const QString& name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  // 1 to 100 or nothing; no intermediate text such as "805".
  e->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("100|[1-9][0-9]?")), e));
  e->setMaxLength(3);
  e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
  e->setAlignment(Qt::AlignRight);
  return e;
}

int Percent(const QLineEdit* e) {
  bool ok = false;
  const int v = e->text().toInt(&ok);
  return ok && v >= 1 && v <= 100 ? v : 0;
}

QString Text(int percent) {
  return percent > 0 ? QString::number(percent) : QString();
}

}  // namespace

TAlertsPage::TAlertsPage(TSettings& settings, QWidget* parent) : QWidget(parent), s_(settings) {
  setObjectName(QStringLiteral("tsSetupAlerts"));
  auto* layout = new QVBoxLayout(this);
  auto* box = new QGroupBox(tr(" Usage Alerts "), this);
  auto* b = new QVBoxLayout(box);
  b->setSpacing(10);
  auto* levelsCaption = new QLabel(tr("Warn me when this much of the allowance is used:"), box);
  levelsCaption->setWordWrap(true);
  b->addWidget(levelsCaption);
  auto* row = new QHBoxLayout;
  eLevel1_ = PercentEdit(QStringLiteral("eAlertLevel1"), box);
  eLevel2_ = PercentEdit(QStringLiteral("eAlertLevel2"), box);
  row->addWidget(eLevel1_);
  row->addWidget(new QLabel(tr("%  and"), box));
  row->addWidget(eLevel2_);
  row->addWidget(new QLabel(tr("%"), box));
  row->addStretch();
  b->addLayout(row);
  // Two lines: the page is narrow, and a check box does not wrap.
  cbPace_ =
      new QCheckBox(tr("Warn me when the recent pace would\nrun out before the rollover"), box);
  cbPace_->setObjectName(QStringLiteral("cbAlertPace"));
  b->addWidget(cbPace_);
  auto* note = new QLabel(
      tr("Each warning comes once a billing month, after the update that finds it."), box);
  note->setWordWrap(true);
  b->addWidget(note);
  layout->addWidget(box);

  auto* notices = new QGroupBox(tr(" Notices "), this);
  auto* n = new QVBoxLayout(notices);
  cbOwnPopups_ =
      new QCheckBox(tr("Show notices and alerts in QGM's own\npopups, not the desktop's"), notices);
  cbOwnPopups_->setObjectName(QStringLiteral("cbOwnPopups"));
  n->addWidget(cbOwnPopups_);
  layout->addWidget(notices);
  layout->addStretch();

  for (QLineEdit* e : {eLevel1_, eLevel2_})
    connect(e, &QLineEdit::textEdited, this, [this] { Store(); });
  for (QCheckBox* c : {cbPace_, cbOwnPopups_})
    connect(c, &QCheckBox::toggled, this, [this] { Store(); });
}

void TAlertsPage::LoadFromModel() {
  loading_ = true;
  eLevel1_->setText(Text(s_.UsageAlertLevel1));
  eLevel2_->setText(Text(s_.UsageAlertLevel2));
  cbPace_->setChecked(s_.UsageAlertPace);
  cbOwnPopups_->setChecked(s_.OwnPopups);
  loading_ = false;
}

void TAlertsPage::Store() {
  if (loading_) return;
  s_.UsageAlertLevel1 = Percent(eLevel1_);
  s_.UsageAlertLevel2 = Percent(eLevel2_);
  s_.UsageAlertPace = cbPace_->isChecked();
  s_.OwnPopups = cbOwnPopups_->isChecked();
  if (OnChange) OnChange();
}

}  // namespace qgm::gui
