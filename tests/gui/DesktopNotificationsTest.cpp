// The desktop's notification server over QtDBus, against the tests' own
// server (tests/desktop/notification_server.py) on a private session bus
// (ctest gui.notifications; without it the suite is skipped).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>
#include <optional>

#include "gui/platform/DesktopNotifications.h"

namespace qgm::gui {
namespace {

bool WaitFor(const std::function<bool()>& done, int limitMs = 15000) {
  for (int waited = 0; !done(); waited += 10) {
    if (waited > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(10);
  }
  return true;
}

class DesktopNotifications : public ::testing::Test {
 protected:
  void SetUp() override {
    python_ = QString::fromLocal8Bit(qgetenv("QGM_SYSTEM_PYTHON"));
    script_ = QString::fromLocal8Bit(qgetenv("QGM_NOTIFICATION_SERVER"));
    if (python_.isEmpty() || script_.isEmpty() || !QDBusConnection::sessionBus().isConnected())
      GTEST_SKIP() << "needs a session bus and the test server (ctest gui.notifications)";
    log_ = dir_.filePath(QStringLiteral("calls.jsonl"));
  }
  void TearDown() override { StopServer(); }

  void StartServer(const QString& caps, bool silent = false, const QStringList& extra = {}) {
    const QString ready = dir_.filePath(QStringLiteral("ready"));
    QFile::remove(ready);
    QStringList args = {script_, QStringLiteral("serve"),   log_, QStringLiteral("--caps"),
                        caps,    QStringLiteral("--ready"), ready};
    if (silent) args << QStringLiteral("--silent");
    args << extra;
    server_.setProcessChannelMode(QProcess::ForwardedChannels);
    server_.start(python_, args);
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(ready); })) << "the test server did not start";
  }
  void StopServer() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    server_.waitForFinished(5000);
  }
  // What the server received, one object per call (and per event it sent).
  std::vector<QJsonObject> Calls(const QString& method) const {
    std::vector<QJsonObject> calls;
    QFile f(log_);
    if (!f.open(QIODevice::ReadOnly)) return calls;
    for (const QByteArray& line : f.readAll().split('\n')) {
      const QJsonObject o = QJsonDocument::fromJson(line).object();
      if (o.value(QStringLiteral("method")).toString() == method) calls.push_back(o);
    }
    return calls;
  }
  void Tell(const QStringList& what) {
    QProcess p;
    p.start(python_, QStringList{script_} + what);
    ASSERT_TRUE(p.waitForFinished(10000));
    ASSERT_EQ(p.exitCode(), 0);
  }

  QTemporaryDir dir_;
  QString python_, script_, log_;
  QProcess server_;
};

struct TSeen {
  std::optional<bool> shown;  // with the server's own sound
  bool notShown = false;
  QStringList actions;
  std::optional<ENotificationClosed> closed;
};

TNotificationEvents Recording(TSeen& seen) {
  TNotificationEvents e;
  e.Shown = [&seen](bool sound) { seen.shown = sound; };
  e.NotShown = [&seen] { seen.notShown = true; };
  e.ActionInvoked = [&seen](const QString& key) { seen.actions << key; };
  e.Closed = [&seen](ENotificationClosed reason) { seen.closed = reason; };
  return e;
}

TNotification Notice() {
  TNotification n;
  n.Summary = QStringLiteral("QGM (Quota Gauge)");
  n.Body = QStringLiteral("Fish & chips <b>today</b>\nsecond line\x01\rCR alone\r\nCR LF\vVT\fFF");
  n.Actions = {{QStringLiteral("default"), QStringLiteral("More")},
               {QStringLiteral("more-info"), QStringLiteral("More")}};
  n.Urgent = true;
  n.SoundName = QStringLiteral("dialog-warning");
  n.ExpireMs = 0;
  return n;
}

// A server that reads markup, offers actions and plays sounds: the body
// arrives escaped, the actions and the sound's name go along with the
// program's icon; the user's action and closing come back for this
// notification only.
TEST_F(DesktopNotifications, AFullServerGetsEverythingAndReportsTheUser) {
  StartServer(QStringLiteral("actions,body-markup,sound"));
  auto service = MakeDesktopNotifications();
  TSeen seen, other;
  service->Notify(Notice(), Recording(seen));  // may come before the server has answered
  ASSERT_TRUE(WaitFor([&] { return seen.shown.has_value() || seen.notShown; }));
  EXPECT_TRUE(service->ServerRuns());
  EXPECT_TRUE(service->Capabilities().contains(QStringLiteral("body-markup")));
  ASSERT_TRUE(seen.shown.has_value());
  EXPECT_TRUE(*seen.shown);
  const auto calls = Calls(QStringLiteral("Notify"));
  ASSERT_EQ(calls.size(), 1u);
  const QJsonObject n = calls[0];
  EXPECT_EQ(n[QStringLiteral("app_name")].toString(), QStringLiteral("QGM"));
  EXPECT_EQ(n[QStringLiteral("summary")].toString(), QStringLiteral("QGM (Quota Gauge)"));
  EXPECT_EQ(n[QStringLiteral("body")].toString(),
            QStringLiteral("Fish &amp; chips &lt;b&gt;today&lt;/b&gt;\nsecond line\nCR alone\n"
                           "CR LF\nVT\nFF"));
  EXPECT_EQ(n[QStringLiteral("actions")].toArray(),
            QJsonArray({QStringLiteral("default"), QStringLiteral("More"),
                        QStringLiteral("more-info"), QStringLiteral("More")}));
  EXPECT_EQ(n[QStringLiteral("expire_timeout")].toInt(), 0);
  const QJsonObject hints = n[QStringLiteral("hints")].toObject();
  EXPECT_EQ(hints[QStringLiteral("urgency")].toInt(), 2);
  EXPECT_EQ(hints[QStringLiteral("sound-name")].toString(), QStringLiteral("dialog-warning"));
  EXPECT_FALSE(hints.contains(QStringLiteral("suppress-sound")));
  const QJsonArray image = hints[QStringLiteral("image-data")].toArray();
  ASSERT_EQ(image.size(), 7);
  EXPECT_EQ(image[0].toInt(), 64);
  EXPECT_EQ(image[1].toInt(), 64);
  EXPECT_EQ(image[2].toInt(), 256);
  EXPECT_TRUE(image[3].toBool());
  EXPECT_EQ(image[4].toInt(), 8);
  EXPECT_EQ(image[5].toInt(), 4);
  EXPECT_EQ(image[6].toObject()[QStringLiteral("bytes")].toInt(), 64 * 64 * 4);
  EXPECT_GT(image[6].toObject()[QStringLiteral("opaque")].toInt(), 1000);  // a picture, not blank
  const int id = n[QStringLiteral("id")].toInt();

  // A second notification, and what the user does with the first.
  TNotification plain;
  plain.Summary = QStringLiteral("New mail");
  plain.Body = QStringLiteral("demo has mail.");
  service->Notify(plain, Recording(other));
  ASSERT_TRUE(WaitFor([&] { return other.shown.has_value(); }));
  EXPECT_FALSE(*other.shown);  // no sound named: a silent one
  EXPECT_TRUE(Calls(QStringLiteral("Notify"))[1][QStringLiteral("hints")]
                  .toObject()[QStringLiteral("suppress-sound")]
                  .toBool());
  Tell({QStringLiteral("close"), QString::number(id + 100), QStringLiteral("2")});  // not ours
  Tell({QStringLiteral("action"), QString::number(id), QStringLiteral("more-info")});
  ASSERT_TRUE(WaitFor([&] { return !seen.actions.isEmpty(); }));
  EXPECT_EQ(seen.actions, QStringList{QStringLiteral("more-info")});
  // Handled, it is closed: no dead buttons left on screen.
  ASSERT_TRUE(WaitFor([&] { return seen.closed.has_value(); }));
  EXPECT_EQ(*seen.closed, ENotificationClosed::ClosedByCall);
  EXPECT_FALSE(other.closed.has_value());
  EXPECT_TRUE(other.actions.isEmpty());

  // What is still open when the program ends is closed with it.
  service.reset();
  ASSERT_TRUE(WaitFor([&] { return Calls(QStringLiteral("CloseNotification")).size() == 2; }));
  const auto closes = Calls(QStringLiteral("CloseNotification"));
  EXPECT_EQ(closes[0][QStringLiteral("id")].toInt(), id);
  EXPECT_EQ(closes[1][QStringLiteral("id")].toInt(), id + 1);
}

// A server that reads no markup and offers no actions: the text as it
// stands, no actions sent; one that plays no sounds leaves the sound to
// the program. An expiry is told as such.
TEST_F(DesktopNotifications, ABareServerGetsPlainTextOnly) {
  StartServer(QString());
  auto service = MakeDesktopNotifications();
  TSeen seen;
  service->Notify(Notice(), Recording(seen));
  ASSERT_TRUE(WaitFor([&] { return seen.shown.has_value() || seen.notShown; }));
  ASSERT_TRUE(seen.shown.has_value());
  EXPECT_FALSE(*seen.shown);
  const auto calls = Calls(QStringLiteral("Notify"));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0][QStringLiteral("body")].toString(),
            QStringLiteral("Fish & chips <b>today</b>\nsecond line\nCR alone\nCR LF\nVT\nFF"));
  EXPECT_TRUE(calls[0][QStringLiteral("actions")].toArray().isEmpty());
  const QJsonObject hints = calls[0][QStringLiteral("hints")].toObject();
  EXPECT_FALSE(hints.contains(QStringLiteral("sound-name")));
  EXPECT_TRUE(hints[QStringLiteral("suppress-sound")].toBool());
  Tell({QStringLiteral("close"), QString::number(calls[0][QStringLiteral("id")].toInt()),
        QStringLiteral("1")});
  ASSERT_TRUE(WaitFor([&] { return seen.closed.has_value(); }));
  EXPECT_EQ(*seen.closed, ENotificationClosed::Expired);
}

// No server: nothing is shown, so the program shows its own. A server that
// starts later is found; one that takes the name and never answers holds
// nothing up and, in the end, leaves the notice to the program as well.
TEST_F(DesktopNotifications, NoServerALateOneAndAHungOne) {
  auto service = MakeDesktopNotifications();
  TSeen before;
  service->Notify(Notice(), Recording(before));
  ASSERT_TRUE(WaitFor([&] { return before.notShown || before.shown.has_value(); }));
  EXPECT_TRUE(before.notShown);
  EXPECT_FALSE(service->ServerRuns());

  StartServer(QStringLiteral("actions"));
  ASSERT_TRUE(WaitFor([&] { return service->ServerRuns(); }));
  EXPECT_EQ(service->Capabilities(), QStringList{QStringLiteral("actions")});
  StopServer();
  ASSERT_TRUE(WaitFor([&] { return !service->ServerRuns(); }));

  StartServer(QStringLiteral("actions"), true);
  ASSERT_TRUE(WaitFor([&] { return service->ServerRuns(); }));
  TSeen hung;
  bool loopRan = false;
  service->Notify(Notice(), Recording(hung));
  QTimer::singleShot(0, [&] { loopRan = true; });
  ASSERT_TRUE(WaitFor([&] { return loopRan; }));
  EXPECT_FALSE(hung.notShown || hung.shown.has_value());  // the loop ran while it waited
  ASSERT_TRUE(WaitFor([&] { return hung.notShown || hung.shown.has_value(); }, 30000));
  EXPECT_TRUE(hung.notShown);
}

// A server that answers after the limit (6 s, the limit 5 s): the program
// shows its own copy, and closes the server's once the answer comes, so the
// user never sees two. One that answers with a string where the number
// belongs is left alone from then on: the program shows its own.
TEST_F(DesktopNotifications, ALateOrOddAnswerLeavesOneCopy) {
  StartServer(QStringLiteral("actions"), false, {QStringLiteral("--late"), QStringLiteral("6000")});
  auto service = MakeDesktopNotifications();
  TSeen late;
  service->Notify(Notice(), Recording(late));
  ASSERT_TRUE(WaitFor([&] { return late.notShown || late.shown.has_value(); }, 20000));
  EXPECT_TRUE(late.notShown);
  ASSERT_TRUE(WaitFor([&] { return !Calls(QStringLiteral("CloseNotification")).empty(); }, 20000))
      << "the server's late copy was left on screen";
  EXPECT_EQ(Calls(QStringLiteral("CloseNotification"))[0][QStringLiteral("id")].toInt(),
            Calls(QStringLiteral("Notify"))[0][QStringLiteral("id")].toInt());
  EXPECT_FALSE(late.shown.has_value());
  service.reset();
  StopServer();

  QFile::remove(log_);
  StartServer(QStringLiteral("actions"), false, {QStringLiteral("--odd")});
  service = MakeDesktopNotifications();
  TSeen odd, next;
  service->Notify(Notice(), Recording(odd));
  ASSERT_TRUE(WaitFor([&] { return odd.notShown || odd.shown.has_value(); }, 20000));
  EXPECT_TRUE(odd.notShown);
  EXPECT_FALSE(service->ServerRuns());
  service->Notify(Notice(), Recording(next));
  ASSERT_TRUE(WaitFor([&] { return next.notShown || next.shown.has_value(); }, 20000));
  EXPECT_TRUE(next.notShown);
  EXPECT_EQ(Calls(QStringLiteral("Notify")).size(), 1u) << "the odd server was asked again";
}

// A server that keeps three of a program's notifications and closes the
// oldest as expired when a fourth comes (GNOME Shell): five notices sent
// at once are all seen, the fourth and fifth each once one of the first
// has gone; none is pushed out unseen.
TEST_F(DesktopNotifications, AServerThatKeepsThreeSeesEveryNotice) {
  StartServer(QStringLiteral("actions"), false, {QStringLiteral("--keep"), QStringLiteral("3")});
  auto service = MakeDesktopNotifications();
  TSeen seen[5];
  for (TSeen& s : seen) service->Notify(Notice(), Recording(s));
  ASSERT_TRUE(WaitFor([&] { return seen[2].shown.has_value(); }, 20000));
  WaitFor([] { return false; }, 300);  // time for a fourth to go out, were it to
  EXPECT_EQ(Calls(QStringLiteral("Notify")).size(), 3u) << "a fourth was sent with three open";
  EXPECT_FALSE(seen[3].shown.has_value() || seen[3].notShown);
  Tell({QStringLiteral("close"), QStringLiteral("2"), QStringLiteral("2")});
  ASSERT_TRUE(WaitFor([&] { return seen[3].shown.has_value(); }, 20000));
  EXPECT_FALSE(seen[4].shown.has_value());
  Tell({QStringLiteral("close"), QStringLiteral("1"), QStringLiteral("2")});
  ASSERT_TRUE(WaitFor([&] { return seen[4].shown.has_value(); }, 20000));
  for (const TSeen& s : seen) EXPECT_NE(s.closed, ENotificationClosed::Expired);
  EXPECT_EQ(Calls(QStringLiteral("Notify")).size(), 5u);
}

}  // namespace
}  // namespace qgm::gui
