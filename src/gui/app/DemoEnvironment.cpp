#include "gui/app/DemoEnvironment.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <stdexcept>
#include <string>

namespace qgm::gui {
namespace {

constexpr int kStartLimitMs = 20000;  // the simulator makes its CA at start
// The demo mirror's pace per stream: four streams fill about 85% of the
// traffic graph's starting scale (1500 kbit/s), and a whole test lasts some
// four minutes, long enough to watch and to cancel.
constexpr int kDemoFtpBytesPerSecond = 40000;

std::string Text(const QJsonObject& o, const char* key) {
  return o.value(QLatin1String(key)).toString().toStdString();
}

}  // namespace

TDemoEnvironment::TDemoEnvironment(std::filesystem::path simulator,
                                   const std::vector<std::string>& extraArgs) {
  if (!home_.isValid()) throw std::runtime_error("no temporary folder for the demo");
  const std::filesystem::path base = QFile::encodeName(home_.path()).toStdString();
  folders_ = FoldersBelow(base);
  if (simulator.empty()) simulator = ProgramFolder() / "corvalink-sim";

  sim_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QStringList args = {
      QStringLiteral("--state-dir"),   QString::fromStdString((base / "sim").string()),
      QStringLiteral("--ftp-rate"),    QString::number(kDemoFtpBytesPerSecond),
      QStringLiteral("--demo-update"), QStringLiteral("--exit-with-stdin")};
  for (const std::string& a : extraArgs) args << QString::fromStdString(a);
  sim_.start(QString::fromStdString(simulator.string()), args);
  if (!sim_.waitForStarted(kStartLimitMs))
    throw std::runtime_error("cannot start " + simulator.string());
  // The first line describes the simulator: its CA file and ports.
  QDeadlineTimer deadline(kStartLimitMs);
  while (!sim_.canReadLine()) {
    if (sim_.state() != QProcess::Running || deadline.hasExpired() ||
        !sim_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      throw std::runtime_error(simulator.string() + " did not describe itself");
    }
  }
  const QJsonObject d = QJsonDocument::fromJson(sim_.readLine()).object();
  const int httpPort = d.value(QLatin1String("httpPort")).toInt();
  if (Text(d, "apiBase").empty() || httpPort <= 0)
    throw std::runtime_error(simulator.string() + " gave no addresses");
  endpoints_.ApiBase = Text(d, "apiBase");
  endpoints_.CaFile = Text(d, "caFile");
  endpoints_.FeedsUrl = Text(d, "feedUrl");
  endpoints_.HomeSite = "http://localhost:" + std::to_string(httpPort) + "/qgm/";
  endpoints_.MailHost = "localhost:" + std::to_string(d.value(QLatin1String("pop3Port")).toInt());
  endpoints_.TimeHost = "127.0.0.1:" + std::to_string(d.value(QLatin1String("timePort")).toInt());
  endpoints_.MirrorHost = "127.0.0.1:" + std::to_string(d.value(QLatin1String("ftpPort")).toInt());
}

TDemoEnvironment::~TDemoEnvironment() {
  // Its standard input closing tells the simulator to end.
  sim_.closeWriteChannel();
  if (!sim_.waitForFinished(3000)) {
    sim_.kill();
    sim_.waitForFinished(1000);
  }
}

}  // namespace qgm::gui
