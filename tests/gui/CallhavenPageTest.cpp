// The CallHaven tab on the offscreen platform: its texts before and after
// the first refresh, and the shading of the graph's bars.
#include "gui/callusage/CallhavenPage.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace qgm::gui {
namespace {

// 28 months from December 2026 back, the newest costing the most.
TCallhaven Months() {
  TCallhaven calls;
  for (int i = 0; i < kCallMonthsShown; ++i) {
    TCallMonth& m = calls.Add();
    m.Year = 2026 - i / 12;
    m.Month = 12 - i % 12;
    m.TotalCost = Money::FromWhole(i == 0 ? 10 : 2);
  }
  return calls;
}

QString Text(const QWidget& page, const char* name) {
  const auto* label = page.findChild<QLabel*>(QString::fromLatin1(name));
  return label ? label->text() : QStringLiteral("<missing>");
}

TEST(CallhavenPage, TextsBeforeAndAfterTheFirstRefresh) {
  TCallhavenPage page;
  for (const char* name : {"lblChNoN", "lblChNoM", "lblChNoX", "lblChNoO", "lblChNoT",
                           "lblChCostN", "lblChCostM", "lblChCostO", "lblChCostT"})
    EXPECT_EQ(Text(page, name), QStringLiteral("--")) << name;
  EXPECT_EQ(Text(page, "lblChUpdate"), QStringLiteral("First update pending"));
  EXPECT_EQ(Text(page, "lblChLo"), QStringLiteral("--/--/--"));
  EXPECT_EQ(Text(page, "lblChHi"), QStringLiteral("--/--/--"));
  EXPECT_EQ(Text(page, "lblChMax"), QStringLiteral("0"));

  const TCallhaven calls = Months();
  page.ShowMonths(calls, {});  // no file for this month
  EXPECT_EQ(Text(page, "lblChUpdate"), QStringLiteral("No CallHaven calls recorded this month"));
  EXPECT_EQ(Text(page, "lblChLo"), QStringLiteral("Sep 24"));  // the oldest, at the left
  EXPECT_EQ(Text(page, "lblChHi"), QStringLiteral("Dec 26"));
  EXPECT_EQ(Text(page, "lblChMax"), QStringLiteral("10"));
}

// The newest bar, its full height: a grey left edge, columns lightening
// to the left of the middle and darkening to its right, a black right edge.
TEST(CallhavenPage, BarsAreShadedFromTheirMiddle) {
  TCallhavenPage page;
  const TCallhaven calls = Months();
  page.ShowMonths(calls, {});
  const QImage& image = page.Graph()->Image();
  ASSERT_EQ(image.size(), QSize(226, 126));
  const struct {
    int x;
    QRgb colour;
  } columns[] = {
      {217, qRgb(0x80, 0x80, 0x80)}, {218, qRgb(140, 246, 203)}, {219, qRgb(102, 243, 186)},
      {220, qRgb(0x33, 0xF0, 0xA3)}, {221, qRgb(38, 180, 122)},  {222, qRgb(28, 135, 91)},
      {223, qRgb(0, 0, 0)},
  };
  for (const auto& c : columns)
    EXPECT_EQ(image.pixel(c.x, 100), c.colour) << c.x << " " << std::hex << image.pixel(c.x, 100);
}

}  // namespace
}  // namespace qgm::gui
