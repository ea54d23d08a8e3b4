// On a screen of twice the density the program's own pictures are drawn in
// device pixels, not made at one pixel per logical pixel and scaled up
// (blurred, with the percentage's text in coarse blocks).
//
// QGM_TEST_PICTURES names a folder to keep the pictures in (to look at).
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "gui/advisories/AdvisoryItem.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/controls/Artwork.h"
#include "gui/broadband/BroadbandPage.h"
#include "gui/callusage/CallhavenPage.h"
#include "gui/controls/ListLook.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/history/HistoryPage.h"
#include "gui/setup/SetupPage.h"
#include "support/DemoProgram.h"
#include "support/FakeTime.h"
#include "support/Pictures.h"
#include "support/SimulatorFixture.h"

namespace qgm::gui {
namespace {

void Keep(const QPixmap& picture, const QString& name) {
  const QString folder = qEnvironmentVariable("QGM_TEST_PICTURES");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder + QStringLiteral("/scale2"));
  picture.save(folder + QStringLiteral("/scale2/") + name + QStringLiteral(".png"));
}

TEST(ScaleTwo, TheScreenHasTwoDevicePixelsToALogicalOne) {
  EXPECT_EQ(qApp->devicePixelRatio(), 2.0);
}

TEST(ScaleTwo, BroadbandBarsAndTheirPercentagesAreDrawnInDevicePixels) {
  TBroadbandPage page;
  page.resize(307, 400);
  page.show();
  QApplication::processEvents();
  for (const char* name : {"imgAmtLeft", "imgDaysLeft"}) {
    auto* bar = page.findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_TRUE(bar) << name;
    const QPixmap grabbed = bar->grab();
    ASSERT_EQ(grabbed.devicePixelRatio(), 2.0);
    Keep(grabbed, QString::fromLatin1(name));
    // The picture the label shows holds a device pixel for each of the
    // screen's, not one for each logical pixel scaled up.
    const QPixmap shown = bar->pixmap();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0) << name;
    EXPECT_EQ(shown.size(), QSize(550, 36)) << name;  // a 275 x 18 bar
  }
}

// More than a year of days of many sizes, so that bars end on every row.
THistory Days() {
  THistory h;
  const TDateTime today = EncodeDate(2026, 12, 8);
  for (int i = -400; i <= 0; ++i) {
    h.AddDayMB(IncDay(today, i), {}, Money::FromWhole(5 + (i * -37) % 91),
               Money::FromWhole(1 + (i * -13) % 17));
  }
  return h;
}

TEST(ScaleTwo, HistoryGraphsAndTheirKeysAreDrawnInDevicePixels) {
  TSettings settings;
  settings.ShowHistoryUploads = true;
  THistoryPage page(settings);
  page.resize(480, 420);
  page.show();
  const THistory h = Days();
  page.Redraw(h, EncodeDate(2026, 1, 15));
  QApplication::processEvents();
  // The graphs take the focus, and mark the current bar while they have it.
  if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
  QApplication::processEvents();
  for (const char* name : {"imgDayHistory", "imgMonthHistory"}) {
    auto* graph = page.findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_TRUE(graph) << name;
    const QPixmap shown = graph->pixmap();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0) << name;
    EXPECT_EQ(shown.size(), QSize(2 * kGraphWidth, 2 * kGraphHeight)) << name;
    const QImage grabbed = graph->grab().toImage().convertToFormat(QImage::Format_RGB32);
    Keep(graph->grab(), QString::fromLatin1(name));
    // On screen device pixel for device pixel, not scaled (a label smooths
    // a picture of another ratio as it scales it)...
    EXPECT_EQ(grabbed, shown.toImage().convertToFormat(QImage::Format_RGB32)) << name;
    // ... and not a logical picture doubled: the bars end on odd device
    // rows too, their tops found to the device pixel.
    EXPECT_GT(test::MixedBlocks(grabbed), 20) << name;
  }
  for (const char* name : {"imgKeyDown", "imgKeyUp", "imgKeyWE"}) {
    auto* key = page.findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_TRUE(key) << name;
    const QPixmap shown = key->pixmap();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0) << name;
    EXPECT_EQ(shown.size(), QSize(2 * kKeyWidth, 2 * kKeyHeight)) << name;
    // The key is what the label shows, pixel for pixel.
    EXPECT_EQ(key->grab().toImage().convertToFormat(QImage::Format_RGB32),
              shown.toImage().convertToFormat(QImage::Format_RGB32))
        << name;
  }
}

TEST(ScaleTwo, CallGraphIsDrawnInDevicePixels) {
  TCallhaven calls;
  for (int i = 0; i < kCallMonthsShown; ++i) {
    TCallMonth& m = calls.Add();
    m.Year = 2026 - (i + 1) / 12;
    m.Month = 12 - i % 12;
    m.TotalCost = Money::FromUnits(10000 * (3 + (i * 7) % 41) + 3700 * i);
  }
  TCallhavenPage page;
  page.show();
  page.ShowMonths(calls, {});
  QApplication::processEvents();
  TCallGraph& graph = *page.Graph();
  EXPECT_EQ(graph.Image().devicePixelRatio(), 2.0);
  EXPECT_EQ(graph.Image().size(), QSize(452, 252));  // a 226 x 126 graph
  const QPixmap grabbed = graph.grab();
  Keep(grabbed, QStringLiteral("imgCallhaven"));
  // Each bar's shading steps at every device column: about three mixed
  // blocks in each of a bar's rows.
  EXPECT_GT(test::MixedBlocks(grabbed.toImage()), 28 * 60);
}

TEST(ScaleTwo, ListGlyphsAndAdvisoryImagesAreDrawnInDevicePixels) {
  EXPECT_EQ(ListGlyphs(2).devicePixelRatio(), 2.0);
  EXPECT_EQ(ListGlyphs(2).size(), QSize(800, 32));
  EXPECT_EQ(ListGlyphs(2).toImage().pixelColor(0, 0), QColor(255, 0, 255));
  QWidget window;
  window.resize(300, 200);
  auto* list = new TScrollingCtrl(&window);
  list->setGeometry(0, 0, 300, 100);
  list->SetDefaultItemHeight(20);
  TScrollItem* parent = list->AddItem();
  list->AddItem()->Level = 1;
  TScrollItem* box = list->AddItem();
  box->ShowCheckBox = true;
  box->SetChecked(true);
  auto* advisories = new TScrollingCtrl(&window);
  advisories->setGeometry(0, 100, 300, 100);
  advisories->SetScrollItemClass<TMyScrollItem>();
  advisories->SetDefaultItemHeight(26);
  auto* advisory = static_cast<TMyScrollItem*>(advisories->AddItem());
  advisory->Title = QStringLiteral("An advisory");
  window.show();
  QApplication::processEvents();
  Keep(window.grab(), QStringLiteral("list"));
  auto area = [](const QRect& r) {
    return QRect(2 * r.left(), 2 * r.top(), 2 * r.width(), 2 * r.height());
  };
  // The minus button, the ticked box and the advisory's ball: their curves
  // and strokes drawn in the screen's pixels.
  const QImage glyphs = list->viewport()->grab().toImage();
  EXPECT_GT(test::MixedBlocks(glyphs, area(parent->GlyphRect())), 6);
  EXPECT_GT(test::MixedBlocks(glyphs, area(box->GlyphRect())), 6);
  // Inside the ball's rim, where the image is opaque.
  const QRect ball = advisory->LinkIconRect().adjusted(4, 4, -4, -4);
  EXPECT_GT(test::MixedBlocks(advisories->viewport()->grab().toImage(), area(ball)), 6);
}

TEST(ScaleTwo, TheLogoAndTheAboutPictureAreDrawnInDevicePixels) {
  // Below 1.1 device pixels to a logical one the plain drawing, from 1.1 up
  // the one drawn at twice the size; the logical size never changes.
  const struct {
    EArtwork which;
    QSize size;
  } kArt[] = {{EArtwork::ProviderLogo, {75, 30}}, {EArtwork::AboutPicture, {232, 96}}};
  for (const auto& art : kArt) {
    for (const auto& [ratio, dense] : {std::pair{1.0, false}, {1.09, false}, {1.1, true},
                                       {1.25, true}, {2.0, true}}) {
      const QImage& image = ArtworkImage(art.which, ratio);
      EXPECT_EQ(image.deviceIndependentSize().toSize(), art.size) << ratio;
      EXPECT_EQ(image.devicePixelRatio(), dense ? 2.0 : 1.0) << ratio;
    }
  }
  // Shown, each device pixel where the drawing is opaque is the drawing's
  // own (not a plain drawing's pixel scaled up).
  for (const auto& art : kArt) {
    TArtworkView view(art.which, nullptr);
    view.resize(view.sizeHint());
    view.show();
    QApplication::processEvents();
    Keep(view.grab(), QStringLiteral("art-%1").arg(art.size.width()));
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = ArtworkImage(art.which, 2).convertToFormat(QImage::Format_ARGB32);
    int opaque = 0, same = 0;
    for (int y = 0; y < drawn.height(); ++y) {
      for (int x = 0; x < drawn.width(); ++x) {
        if (qAlpha(drawn.pixel(x, y)) < 255) continue;
        ++opaque;
        same += shown.pixel(x, y) == drawn.pixel(x, y);
      }
    }
    EXPECT_GT(opaque, 0);
    EXPECT_GE(same * 100, opaque * 95) << same << " of " << opaque << " opaque pixels";
  }
}

// The demo's pages on a screen of twice the density, kept as pictures; the
// tray number's preview on the Setup page is drawn in device pixels.
class ScaleTwoPages : public test::SimulatorTest {
 protected:
  void TearDown() override { program_.reset(); }
  QTemporaryDir home_;
  test::FakeTimerFactory timers_;
  std::unique_ptr<TProgram> program_;
};

TEST_F(ScaleTwoPages, PagesAndTheTrayPreviewAreDrawnInDevicePixels) {
  ASSERT_TRUE(home_.isValid());
  program_ = test::StartDemoProgram(home_, Sim(), timers_);
  program_->UpdateNow();
  program_->TrayClicked();  // ends the demo's mail alert
  TMainForm& form = program_->Window();
  form.show();
  QApplication::processEvents();
  auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  ASSERT_TRUE(tabs);
  for (const int page : {kPageHistory, kPageCallhaven, kPageAdvisories}) {
    tabs->setCurrentIndex(page);
    QApplication::processEvents();
    const QPixmap grabbed = form.grab();
    EXPECT_EQ(grabbed.devicePixelRatio(), 2.0);
    Keep(grabbed, tabs->tabText(page).remove(QLatin1Char('&')));
  }
  tabs->setCurrentIndex(kPageSetup);
  QApplication::processEvents();
  auto* setup = form.findChild<TSetupPage*>();
  ASSERT_TRUE(setup);
  for (int sub = 0; sub < setup->Pages()->count(); ++sub) {
    const QString name = setup->Pages()->tabText(sub).remove(QLatin1Char('&'));
    if (name != QStringLiteral("General") && name != QStringLiteral("Email") &&
        name != QStringLiteral("Radio"))
      continue;
    setup->Pages()->setCurrentIndex(sub);
    QApplication::processEvents();
    Keep(form.grab(), QStringLiteral("Setup-") + name);
  }
  auto* preview = form.findChild<QLabel*>(QStringLiteral("imgTray"));
  ASSERT_TRUE(preview);
  const QPixmap shown = preview->pixmap();
  EXPECT_EQ(shown.devicePixelRatio(), 2.0);
  EXPECT_EQ(shown.deviceIndependentSize().toSize(), preview->size());
  EXPECT_EQ(shown.width(), 2 * preview->width());
  Keep(preview->grab(), QStringLiteral("imgTray"));
  // The number's strokes are drawn at the preview's device size.
  EXPECT_GT(test::MixedBlocks(preview->grab().toImage()), 10);
}

}  // namespace
}  // namespace qgm::gui
