#include "gui/app/WindowRules.h"
#include "gui/controls/WorkAreaPlace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qgm::gui {
namespace {

TEST(WindowRules, SnapsWithinElevenPixels) {
  const TWindowRect area{0, 0, 1920, 1050};
  TWindowRect w = SnapToEdges({11, 500, 307, 485}, area);
  EXPECT_EQ(w.Left, 0);
  w = SnapToEdges({12, 500, 307, 485}, area);
  EXPECT_EQ(w.Left, 12);
  w = SnapToEdges({1920 - 307 - 11, 1050 - 485 + 11, 307, 485}, area);
  EXPECT_EQ(w.Left, 1920 - 307);
  EXPECT_EQ(w.Top, 1050 - 485);
  w = SnapToEdges({-8, -11, 307, 485}, area);  // just outside snaps back too
  EXPECT_EQ(w.Left, 0);
  EXPECT_EQ(w.Top, 0);
}

// A framed window the window manager left partly off the work area comes
// back in by the least move; one larger than the area keeps its corner in.
TEST(WindowRules, TheFrameIsKeptInsideTheWorkArea) {
  const TPlaceRect area{0, 30, 1024, 708};  // a panel above and one below
  const struct {
    TPlaceRect window;
    int left, top;
  } cases[] = {
      {{620, 446, 404, 322}, 620, 416},   // 22 px below the bottom panel's edge
      {{700, 300, 404, 322}, 620, 300},   // off the right
      {{-5, 10, 404, 322}, 0, 30},        // under the top panel, off the left
      {{100, 100, 404, 322}, 100, 100},   // inside: stays
      {{50, 50, 1100, 800}, 0, 30},       // larger than the area
  };
  for (const auto& c : cases) {
    const TPlaceRect kept = KeepInside(c.window, area);
    EXPECT_EQ(kept.Left, c.left) << c.window.Left << "," << c.window.Top;
    EXPECT_EQ(kept.Top, c.top) << c.window.Left << "," << c.window.Top;
    EXPECT_EQ(kept.Width, c.window.Width);
  }
}

TEST(WindowRules, TabCyclingSkipsHiddenPages) {
  // Broadband, History, Corvalink, Network, CallHaven (hidden), Advisories, About, Setup.
  const std::vector<bool> visible = {true, true, true, true, false, true, true, true};
  EXPECT_EQ(NextVisiblePage(3, true, visible), 5);  // Network -> Advisories
  EXPECT_EQ(NextVisiblePage(5, false, visible), 3);
  EXPECT_EQ(NextVisiblePage(7, true, visible), 0);  // wraps round
  EXPECT_EQ(NextVisiblePage(0, false, visible), 7);
  EXPECT_EQ(NextVisiblePage(0, true, {true, false}), 0);
}

TEST(WindowRules, AcceleratorsFindTheFirstVisiblePage) {
  const std::vector<std::string> captions = {"&Broadband", "&History",    "&Corvalink", "&Network",
                                             "Ca&llHaven", "Ad&visories", "&About",     "&Setup"};
  std::vector<bool> visible(8, true);
  visible[4] = false;
  EXPECT_EQ(PageForAccelerator('v', captions, visible), 5);
  EXPECT_EQ(PageForAccelerator('S', captions, visible), 7);   // letter case does not matter
  EXPECT_EQ(PageForAccelerator('l', captions, visible), -1);  // CallHaven is hidden
  visible[4] = true;
  EXPECT_EQ(PageForAccelerator('l', captions, visible), 4);
  EXPECT_EQ(PageForAccelerator('x', captions, visible), -1);
  EXPECT_EQ(AcceleratorOf("Fish && &Chips"), 'c');
  EXPECT_EQ(AcceleratorOf("No accelerator &&"), 0);
}

}  // namespace
}  // namespace qgm::gui
