// The notice popup's links, closing and the seen-notice record.
#include "gui/tray/MessageForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
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
  const QString shown = f->findChild<QLabel*>(QStringLiteral("lblBody"))->text();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("<a href='http://evil.example/'>"))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QStringLiteral("password</a>\n"))) << shown.toStdString();
  f->close();
}

// The body is laid out line by line to the panel's width: a word longer
// than a line is broken inside it and shown whole over several lines, and
// a line feed of the text leaves an empty line.
TEST(MessageForm, LongWordsAreBrokenAndLineFeedsKept) {
  Recorder r;
  TNoticeRequest n;
  n.Caption = "QGM (Quota Gauge)";
  n.Body = "Reference:" + std::string(60, 'X') + "nop\nnext";
  TMessageForm* f = r.Make(n);
  auto* body = f->findChild<QLabel*>(QStringLiteral("lblBody"));
  ASSERT_TRUE(body);
  EXPECT_FALSE(body->wordWrap());
  const QStringList lines = body->text().split(QLatin1Char('\n'));
  ASSERT_GE(lines.size(), 4) << body->text().toStdString();
  QString joined;
  for (const QString& line : lines.mid(0, lines.size() - 3)) {
    EXPECT_LE(QFontMetrics(body->font()).horizontalAdvance(line), body->parentWidget()->width())
        << line.toStdString();
    joined += line;
  }
  EXPECT_EQ(joined, QString::fromStdString("Reference:" + std::string(60, 'X') + "nop"));
  EXPECT_EQ(lines[lines.size() - 3], QString());  // the line feed's empty line
  EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("next"));
  f->close();
}

}  // namespace
}  // namespace qgm::gui
