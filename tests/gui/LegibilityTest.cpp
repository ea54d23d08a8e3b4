// Every text of the window and of the notice popup stays legible on a light
// and on a dark desktop palette: measured on the grabbed pictures, the text
// of each visible label, link, list item and tab stands out from what it is
// drawn on by a contrast ratio of at least 4.5:1.
//
// QGM_TEST_PICTURES names a folder to keep the pictures in (to look at).
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "gui/advisories/AdvisoryItem.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/controls/TabRows.h"
#include "gui/setup/MyItem.h"
#include "gui/setup/SetupPage.h"
#include "gui/tray/MessageForm.h"
#include "support/DemoProgram.h"
#include "support/FakeTime.h"
#include "support/Pictures.h"
#include "support/SimulatorFixture.h"

namespace qgm::gui {
namespace {

using test::AreaIn;
using test::Hex;
using test::MeasureText;

constexpr double kLegible = 4.5;

// What a dark desktop theme hands the program.
QPalette DarkPalette() {
  QPalette p(QColor(0x35, 0x35, 0x35));  // button; the shades derive from it
  p.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
  p.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
  p.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
  p.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
  p.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
  p.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
  p.setColor(QPalette::ToolTipBase, QColor(0x24, 0x24, 0x24));
  p.setColor(QPalette::ToolTipText, QColor(0xEE, 0xEE, 0xEE));
  p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
  p.setColor(QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
  p.setColor(QPalette::Link, QColor(0x5A, 0xAE, 0xFF));
  return p;
}

class Legibility : public test::SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    saved_ = QApplication::palette();
  }
  void TearDown() override {
    program_.reset();
    QApplication::setPalette(saved_);
  }

  // The demo's figures on every page.
  void Start() {
    ASSERT_TRUE(home_.isValid());
    program_ = test::StartDemoProgram(home_, Sim(), timers_);
  }

  // Measures every text-bearing widget that shows in `top`; notes the
  // illegible ones in failures_, under `where`.
  void Check(QWidget& top, const QString& where) {
    QApplication::processEvents();
    const QPixmap grabbed = top.grab();
    const QImage picture = grabbed.toImage();
    const qreal ratio = grabbed.devicePixelRatio();
    Keep(picture, where);
    auto measure = [&](const QRect& area, const QString& what) {
      if (area.isEmpty()) return;
      const test::TTextContrast m = MeasureText(picture, area);
      ++measured_;
      if (m.Ratio < kLegible)
        failures_ << QStringLiteral("%1: %2 %3 on %4, %5:1")
                         .arg(where, what, Hex(m.Text), Hex(m.Background))
                         .arg(m.Ratio, 0, 'f', 2);
    };
    auto name = [](const QWidget& w, const QString& text) {
      const QString n = w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className())
                                                 : w.objectName();
      return QStringLiteral("%1 \"%2\"").arg(n, text.left(24));
    };
    for (QLabel* label : top.findChildren<QLabel*>()) {
      if (!label->isVisible() || !label->isEnabled() || label->text().trimmed().isEmpty()) continue;
      measure(AreaIn(top, *label, ratio), name(*label, label->text()));
    }
    for (TFocusLabel* link : top.findChildren<TFocusLabel*>()) {
      if (!link->isVisible() || !link->isEnabled() || link->Caption().trimmed().isEmpty()) continue;
      measure(AreaIn(top, *link, ratio), name(*link, link->Caption()));
    }
    for (TTabRows* rows : top.findChildren<TTabRows*>()) {
      if (!rows->isVisible()) continue;
      const QRect shown = AreaIn(top, *rows, ratio);
      auto* tabs = qobject_cast<QTabWidget*>(rows->parentWidget());
      for (int i = 0; tabs && i < tabs->count(); ++i) {
        const QRect r = rows->TabRect(i);
        if (r.isEmpty()) continue;
        const QPoint at = rows->mapTo(&top, r.topLeft());
        const QRect area(QPoint(qRound(at.x() * ratio), qRound(at.y() * ratio)),
                         QSize(qRound(r.width() * ratio), qRound(r.height() * ratio)));
        measure(area.intersected(shown), name(*rows, tabs->tabText(i)));
      }
    }
    for (TScrollingCtrl* list : top.findChildren<TScrollingCtrl*>()) {
      if (!list->isVisible()) continue;
      QWidget& view = *list->viewport();
      const QRect shown = AreaIn(top, view, ratio);
      for (int i = 0; i < list->Count(); ++i) {
        TScrollItem* item = list->GetItem(i);
        QString text;
        if (auto* row = dynamic_cast<TMyItem*>(item)) text = row->Caption;
        if (auto* advisory = dynamic_cast<TMyScrollItem*>(item)) text = advisory->Title;
        if (!item->Visible() || item->Height() == 0 || text.trimmed().isEmpty()) continue;
        const QPoint at = view.mapTo(&top, QPoint(0, item->ScreenTop()));
        const QRect area(QPoint(qRound(at.x() * ratio), qRound(at.y() * ratio)),
                         QSize(qRound(view.width() * ratio), qRound(item->Height() * ratio)));
        // A frame's pixels are not text: the inside of the item only.
        const int in = qRound(3 * ratio);
        measure(area.intersected(shown).adjusted(in, in, -in, -in), name(*list, text));
      }
    }
  }

  void CheckEveryPage() {
    Start();
    TMainForm& form = program_->Window();
    form.show();
    QApplication::processEvents();
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    ASSERT_TRUE(tabs);
    ASSERT_TRUE(tabs->isTabVisible(kPageCallhaven));  // the demo's calls
    for (int page = 0; page < tabs->count(); ++page) {
      tabs->setCurrentIndex(page);
      QApplication::processEvents();
      if (page != kPageSetup) {
        Check(form, tabs->tabText(page).remove(QLatin1Char('&')));
        continue;
      }
      auto* setup = form.findChild<TSetupPage*>();
      ASSERT_TRUE(setup);
      for (int sub = 0; sub < setup->Pages()->count(); ++sub) {
        setup->Pages()->setCurrentIndex(sub);
        Check(form,
              QStringLiteral("Setup-") + setup->Pages()->tabText(sub).remove(QLatin1Char('&')));
      }
    }
    for (const bool alert : {false, true}) {
      TNoticeRequest notice;
      notice.Caption = "Scheduled maintenance";
      notice.Body = "The mail servers are down for maintenance on Sunday from 2am.";
      notice.Alert = alert;
      notice.LinkAddress = "https://example.invalid/notice";
      auto* popup = new TMessageForm(notice, {}, {}, timers_);
      popup->show();
      Check(*popup, alert ? QStringLiteral("Notice-alert") : QStringLiteral("Notice"));
      popup->close();
    }
    QApplication::processEvents();
    EXPECT_GT(measured_, 100);  // the pages were there to measure
    EXPECT_TRUE(failures_.isEmpty()) << failures_.join(QLatin1Char('\n')).toStdString();
  }

  void Keep(const QImage& picture, QString where) {
    const QString folder = qEnvironmentVariable("QGM_TEST_PICTURES");
    if (folder.isEmpty()) return;
    const QString path = folder + QLatin1Char('/') + paletteName_;
    QDir().mkpath(path);
    picture.save(path + QLatin1Char('/') + where.replace(QLatin1Char(' '), QLatin1Char('_')) +
                 QStringLiteral(".png"));
  }

  QPalette saved_;
  QString paletteName_ = QStringLiteral("light");
  QTemporaryDir home_;
  test::FakeTimerFactory timers_;
  std::unique_ptr<TProgram> program_;
  QStringList failures_;
  int measured_ = 0;
};

TEST_F(Legibility, EveryTextReadsOnTheLightPalette) {
  CheckEveryPage();
}

TEST_F(Legibility, EveryTextReadsOnADarkPalette) {
  paletteName_ = QStringLiteral("dark");
  QApplication::setPalette(DarkPalette());
  CheckEveryPage();
}

}  // namespace
}  // namespace qgm::gui
