// The Network tab on the dummy platform: its two scripted adapters, the
// start-up selection, sampling into speeds and the graph, and the scales.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

#include "core/platform/dummy/DummyPlatform.h"
#include "gui/controls/FocusLabel.h"
#include "gui/network/NetGraph.h"
#include "gui/network/NetworkPage.h"
#include "support/FakeTime.h"

namespace qgm::gui {
namespace {

class NetworkPageTest : public ::testing::Test {
 protected:
  void Script(const std::string& adapter, std::vector<std::pair<uint64_t, uint64_t>> readings) {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Counters[adapter] = std::move(readings);
  }
  std::unique_ptr<TNetworkPage> Make() {
    auto page = std::make_unique<TNetworkPage>(settings_, timers_);
    page->resize(295, 420);
    return page;
  }
  QString Text(TNetworkPage& page, const char* name) {
    auto* l = page.findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }
  void TearDown() override {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Adapters = {"eth0", "wlan0"};
  }
  TSettings settings_;
  test::FakeTimerFactory timers_;
};

TEST_F(NetworkPageTest, TheStoredAdapterIsSelectedWithItsAddresses) {
  settings_.NetworkAdaptor = "eth0";
  auto page = Make();
  EXPECT_EQ(page->Adaptors()->count(), 2);
  EXPECT_EQ(page->Adaptors()->currentText(), QStringLiteral("eth0"));
  // Sampling waits for the tab to show, and ends when the window goes to
  // the tray: a program in the tray does not wake every second.
  EXPECT_FALSE(page->Sampling());
  page->Shown();
  EXPECT_TRUE(page->Sampling());
  page->WindowHidden();
  EXPECT_FALSE(page->Sampling());
  EXPECT_EQ(Text(*page, "lblLAN"), QStringLiteral("192.168.1.20"));
  // The speeds, their unit and the download test in their own group.
  auto* speeds = page->findChild<QGroupBox*>(QStringLiteral("gbSpeeds"));
  ASSERT_TRUE(speeds);
  EXPECT_EQ(speeds->title(), QStringLiteral(" Current Speeds "));
  for (const char* name : {"lblSpeedIn", "lblSpeedOut", "rbBits", "lblTestDownload"})
    EXPECT_TRUE(speeds->isAncestorOf(page->findChild<QWidget*>(QString::fromLatin1(name)))) << name;
  // No public address until the first check says one.
  auto* publicAddress = page->findChild<TFocusLabel*>(QStringLiteral("lblCurrentIP"));
  ASSERT_TRUE(publicAddress);
  EXPECT_EQ(publicAddress->Caption(), QString());
  EXPECT_EQ(Text(*page, "lblGateway"), QStringLiteral("192.168.1.1"));
  EXPECT_EQ(Text(*page, "lblMac"), QStringLiteral("00:1A:2B:3C:4D:5E"));
  // An adapter without a hardware address shows none; the choice is kept.
  page->Adaptors()->setCurrentIndex(1);
  EXPECT_EQ(Text(*page, "lblMac"), QString());
  EXPECT_EQ(settings_.NetworkAdaptor, "wlan0");
}

TEST_F(NetworkPageTest, AnAdapterThatIsGoneLeavesNoSelectionAndTheSamplerStill) {
  settings_.NetworkAdaptor = "gone0";
  auto page = Make();
  EXPECT_EQ(page->Adaptors()->currentIndex(), -1);
  EXPECT_FALSE(page->Sampling());
  page->SampleTraffic();
  EXPECT_EQ(Text(*page, "lblSpin"), QStringLiteral("+"));  // the spinner does not move
  EXPECT_EQ(settings_.NetworkAdaptor, "gone0");            // looking changes nothing
}

// An adapter that appears while the program runs is offered when the tab
// is shown, but not chosen: the stored one stays as it was.
TEST_F(NetworkPageTest, AnAdapterAppearingLaterIsAppendedUnselected) {
  settings_.NetworkAdaptor = "usb0";
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Adapters.clear();
  }
  auto page = Make();
  EXPECT_EQ(page->Adaptors()->count(), 0);
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Adapters = {"eth0"};
  }
  page->Shown();
  ASSERT_EQ(page->Adaptors()->count(), 1);
  EXPECT_EQ(page->Adaptors()->itemText(0), QStringLiteral("eth0"));
  EXPECT_EQ(page->Adaptors()->currentIndex(), -1);
  EXPECT_FALSE(page->Sampling());
  EXPECT_EQ(settings_.NetworkAdaptor, "usb0");
  // A selection made by the user is kept while more appear.
  page->Adaptors()->setCurrentIndex(0);
  EXPECT_EQ(settings_.NetworkAdaptor, "eth0");
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Adapters = {"eth0", "wlan0"};
  }
  page->Shown();
  EXPECT_EQ(page->Adaptors()->count(), 2);
  EXPECT_EQ(page->Adaptors()->currentText(), QStringLiteral("eth0"));
  EXPECT_TRUE(page->Sampling());
}

// The stored adapter, unplugged at the start and plugged in later, is the
// one chosen again; the others that came with it are only offered.
TEST_F(NetworkPageTest, TheStoredAdapterAppearingLaterIsChosenAgain) {
  settings_.NetworkAdaptor = "usb0";
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Adapters = {"eth0"};
  }
  auto page = Make();
  EXPECT_EQ(page->Adaptors()->currentIndex(), -1);
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Adapters = {"eth0", "wlan0", "usb0"};
  }
  page->Shown();
  ASSERT_EQ(page->Adaptors()->count(), 3);
  EXPECT_EQ(page->Adaptors()->currentText(), QStringLiteral("usb0"));
  EXPECT_TRUE(page->Sampling());
  EXPECT_EQ(settings_.NetworkAdaptor, "usb0");
}

TEST_F(NetworkPageTest, SamplesGiveSpeedsAndStepsButNotBackwards) {
  settings_.NetworkAdaptor = "eth0";
  Script("eth0", {{1000, 1000}, {126000, 26000}, {100000, 30000}, {100000, 30000}});
  auto page = Make();
  page->Shown();  // the baseline: 1000 / 1000
  const QImage blank = page->Graph()->Image();
  page->SampleTraffic();
  EXPECT_EQ(Text(*page, "lblSpin"), QStringLiteral("\u00D7"));
  EXPECT_EQ(Text(*page, "lblSpeedIn"), QStringLiteral("1,000"));  // 125000 bytes: 1000 kbit
  EXPECT_EQ(Text(*page, "lblSpeedOut"), QStringLiteral("200"));
  const QImage stepped = page->Graph()->Image();
  EXPECT_NE(stepped, blank);
  // The in counter went backwards: no step, the graph stays.
  page->SampleTraffic();
  EXPECT_EQ(Text(*page, "lblSpin"), QStringLiteral("+"));
  EXPECT_EQ(page->Graph()->Image(), stepped);
  EXPECT_EQ(Text(*page, "lblSpeedIn"), QStringLiteral("0"));
  // Into the tray: sampling stops.
  page->WindowHidden();
  EXPECT_FALSE(page->Sampling());
}

TEST_F(NetworkPageTest, TrackBarsAndThePlanSetTheScales) {
  auto page = Make();
  EXPECT_EQ(page->GraphBox()->title(), QStringLiteral(" Current Traffic (1500/256 kbps) "));
  page->findChild<QSlider*>(QStringLiteral("tbIn"))->setValue(5);
  EXPECT_EQ(page->GraphBox()->title(), QStringLiteral(" Current Traffic (12/0.256 mbps) "));
  EXPECT_EQ(settings_.LanScaleIn, 5);
  page->AutoScaleFromPlan("24000/1024k");
  EXPECT_EQ(page->GraphBox()->title(), QStringLiteral(" Current Traffic (24/1 mbps) "));
  EXPECT_EQ(settings_.LanScaleOut, 12);
  page->AutoScaleFromPlan("?");
  EXPECT_EQ(settings_.LanScaleIn, 3);
}

// Each step moves the picture two pixels at 96 dpi, the in bar in the
// first column and the out bar in the second; at twice the pixel ratio
// every pixel is a 2 x 2 block, and a graph moved to such a screen keeps
// what it showed.
TEST(NetGraphTest, BarsFillTheirColumnsAtEveryPixelRatio) {
  const QColor in(34, 154, 222), out(255, 170, 51);
  for (const qreal ratio : {1.0, 2.0}) {
    TNetGraph graph;
    graph.SetPixelRatio(ratio);
    const QColor back = graph.Image().pixelColor(0, 0);
    graph.Step(112, 56);
    graph.Step(0, 1);
    const QImage& image = graph.Image();
    const int r = static_cast<int>(ratio);
    ASSERT_EQ(image.size(), QSize(183 * r, 112 * r));
    const int w = image.width(), h = image.height();
    // The first step, two pixels left: in at full height, out at half.
    for (int dx = 0; dx < r; ++dx) {
      EXPECT_EQ(image.pixelColor(w - 4 * r + dx, 0), in) << ratio;
      EXPECT_EQ(image.pixelColor(w - 3 * r + dx, h - 56 * r), out) << ratio;
      EXPECT_EQ(image.pixelColor(w - 3 * r + dx, h - 56 * r - 1), back) << ratio;
      // The second: no in bar, one pixel of out.
      EXPECT_EQ(image.pixelColor(w - 2 * r + dx, h - 1), back) << ratio;
      EXPECT_EQ(image.pixelColor(w - r + dx, h - r), out) << ratio;
      EXPECT_EQ(image.pixelColor(w - r + dx, h - r - 1), back) << ratio;
    }
  }
  TNetGraph graph;
  graph.SetPixelRatio(1);
  graph.Step(112, 0);
  graph.SetPixelRatio(2);
  EXPECT_EQ(graph.Image().size(), QSize(366, 224));
  EXPECT_EQ(graph.Image().pixelColor(362, 0), in);
  EXPECT_EQ(graph.Image().pixelColor(363, 223), in);
}

}  // namespace
}  // namespace qgm::gui
