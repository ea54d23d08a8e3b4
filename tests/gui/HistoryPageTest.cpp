#include "gui/history/HistoryPage.h"

#include <QCheckBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace qgm::gui {
namespace {

THistory Month() {
  THistory h;
  const TDateTime today = EncodeDate(2026, 12, 8);
  for (int i = -30; i <= 0; ++i)
    h.AddDayMB(IncDay(today, i), {}, Money::FromWhole(100 + i), Money::FromWhole(2));
  return h;
}

TEST(HistoryPage, CheckBoxesFollowTheSettingsAndRedraw) {
  TSettings settings;
  settings.ShowHistoryDownloads = false;  // none ticked: downloads are
  THistoryPage page(settings);
  auto* totals = page.findChild<QCheckBox*>(QStringLiteral("cbTotals"));
  auto* downloads = page.findChild<QCheckBox*>(QStringLiteral("cbDownloads"));
  auto* uploads = page.findChild<QCheckBox*>(QStringLiteral("cbUploads"));
  ASSERT_TRUE(totals && downloads && uploads);
  EXPECT_TRUE(downloads->isChecked());
  EXPECT_TRUE(settings.ShowHistoryDownloads);
  EXPECT_TRUE(totals->isHidden());  // until the plan's details arrive

  const THistory h = Month();
  page.Redraw(h, EncodeDate(2026, 1, 15));
  auto* max = page.findChild<QLabel*>(QStringLiteral("lblMaxVal1"));
  EXPECT_EQ(max->text(), QStringLiteral("100"));
  uploads->setChecked(true);
  EXPECT_TRUE(settings.ShowHistoryUploads);
  downloads->setChecked(false);
  EXPECT_EQ(max->text(), QStringLiteral("10"));  // uploads alone: 2 MB a day

  page.ShowTotalsBox();
  page.SetUploadsMetered(false);
  EXPECT_EQ(uploads->text(), QStringLiteral("&Uploads (Unmetered)"));
  EXPECT_FALSE(totals->isHidden());
  page.SetUploadsMetered(true);
  EXPECT_EQ(uploads->text(), QStringLiteral("&Uploads (Metered)"));
}

TEST(HistoryPage, AnUpdateUnticksAHiddenTotalsBox) {
  TSettings settings;
  settings.ShowHistoryTotals = true;  // stored ticked, but no plan details yet
  settings.ShowHistoryDownloads = false;
  THistoryPage page(settings);
  auto* totals = page.findChild<QCheckBox*>(QStringLiteral("cbTotals"));
  auto* downloads = page.findChild<QCheckBox*>(QStringLiteral("cbDownloads"));
  ASSERT_TRUE(totals && downloads);
  EXPECT_TRUE(totals->isChecked());
  page.SetUploadsMetered(false);  // an update without the plan's details
  EXPECT_FALSE(totals->isChecked());
  EXPECT_TRUE(downloads->isChecked());  // something is always shown
  EXPECT_FALSE(settings.ShowHistoryTotals);
  EXPECT_EQ(page.findChild<QCheckBox*>(QStringLiteral("cbUploads"))->text(),
            QStringLiteral("&Uploads (Unmetered)"));
}

TEST(HistoryPage, HintFollowsTheBarUnderThePointer) {
  TSettings settings;
  THistoryPage page(settings);
  const THistory h = Month();
  page.Redraw(h, EncodeDate(2026, 1, 15));
  page.PointerAt(true, 2 + 30 * 7 + 1);
  const QString hint = page.DayHintText();
  EXPECT_TRUE(hint.startsWith(QStringLiteral("Tuesday, 8 Dec 2026\n"))) << hint.toStdString();
  EXPECT_TRUE(hint.contains(QStringLiteral("Downloads (Metered): 100 MB")));
  page.PointerAt(true, 2 + 30 * 7 + 5);  // the same bar
  EXPECT_EQ(page.DayHintText(), hint);
  page.PointerAt(true, 2 + 29 * 7);
  EXPECT_TRUE(page.DayHintText().startsWith(QStringLiteral("Monday, 7 Dec 2026")));
  page.PointerAt(true, 2 + 31 * 7);  // past the last bar
  EXPECT_TRUE(page.DayHintText().isEmpty());
}

}  // namespace
}  // namespace qgm::gui
