// The notice popup's links, closing and the seen-notice record.
#include "gui/tray/MessageForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "gui/controls/FocusLabel.h"
#include "support/FakeTime.h"

namespace qgm::gui {
namespace {

struct Recorder {
  std::vector<std::string> opened, closed;
  test::FakeTimerFactory timers;
  std::vector<QPointer<TMessageForm>> forms;
  // The forms go before the timers they hold.
  ~Recorder() {
    for (auto& f : forms) delete f.data();
  }
  TMessageForm* Make(const TNoticeRequest& n) {
    auto* f = new TMessageForm(
        n, [this](const std::string& url) { opened.push_back(url); },
        [this](const std::string& ref) { closed.push_back(ref); }, timers);
    forms.emplace_back(f);
    f->show();
    QApplication::processEvents();
    return f;
  }
};

TEST(MessageForm, OnlyCloseWithoutALink) {
  Recorder r;
  TNoticeRequest n;
  n.Caption = "QGM (Quota Gauge)";
  n.Body = "Hello";
  n.Reference = "R1";
  QPointer<TMessageForm> f = r.Make(n);
  EXPECT_FALSE(f->MoreInfo()->isVisible());
  EXPECT_TRUE(f->CloseLink()->isVisible());
  QTest::mouseClick(f->CloseLink(), Qt::LeftButton, {}, QPoint(5, 5));
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(f.isNull());  // frees itself
  EXPECT_EQ(r.closed, (std::vector<std::string>{"R1"}));
}

TEST(MessageForm, LinkCaptionRunsItsHandlerThenCloses) {
  Recorder r;
  int downloads = 0;
  TNoticeRequest n;
  n.Caption = "A new QGM update is available";
  n.LinkCaption = "Click here to download";
  n.OnLinkClick = [&] { ++downloads; };
  QPointer<TMessageForm> f = r.Make(n);
  EXPECT_TRUE(f->MoreInfo()->isVisible());
  EXPECT_EQ(f->MoreInfo()->Caption(), QStringLiteral("Click here to download"));
  QTest::mouseClick(f->MoreInfo(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(downloads, 1);
  EXPECT_TRUE(r.opened.empty());  // no address: nothing opened
  EXPECT_TRUE(r.closed.empty());  // no reference: nothing recorded
}

TEST(MessageForm, LinkAddressOpensAndRecords) {
  Recorder r;
  TNoticeRequest n;
  n.Body = "Outage";
  n.LinkAddress = "https://status.example/";
  n.Reference = "R2";
  TMessageForm* f = r.Make(n);
  EXPECT_EQ(f->MoreInfo()->Caption(), QStringLiteral("For more information click here"));
  QTest::mouseClick(f->MoreInfo(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(r.opened, (std::vector<std::string>{"https://status.example/"}));
  EXPECT_EQ(r.closed, (std::vector<std::string>{"R2"}));
}

TEST(MessageForm, AutoCloseIsNotRecordedAsSeen) {
  Recorder r;
  TNoticeRequest n;
  n.Body = "Goes away";
  n.Reference = "R3";
  n.AutoCloseSeconds = 1;
  QPointer<TMessageForm> f = r.Make(n);
  EXPECT_EQ(r.timers.FireAll(999), 0);
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(r.timers.FireAll(1000), 1);  // the second has passed
  EXPECT_TRUE(f.isNull() || !f->isVisible());
  EXPECT_TRUE(r.closed.empty());
}

TEST(MessageForm, MarkupFromTheServerShowsAsText) {
  Recorder r;
  TNoticeRequest n;
  n.Caption = "<b>Urgent</b>";
  n.Body = "<a href='http://evil.example/'>Renew your password</a>";
  TMessageForm* f = r.Make(n);
  for (const char* name : {"lblCaption", "lblBody"}) {
    auto* label = f->findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
  }
  EXPECT_EQ(f->findChild<QLabel*>(QStringLiteral("lblBody"))->text(),
            QString::fromStdString(n.Body));
  f->close();
}

}  // namespace
}  // namespace qgm::gui
