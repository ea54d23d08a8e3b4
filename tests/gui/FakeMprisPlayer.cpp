// A stand-in media player for the MPRIS test: on the session bus as
// org.mpris.MediaPlayer2.fakeplayer, it writes each OpenUri and Play call
// as a line to the file named on its command line, and ends after Play
// (or after ten seconds).
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QFile>
#include <QTimer>

#include <cstdio>

class PlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
 public:
  PlayerAdaptor(QObject* parent, QString log)
      : QDBusAbstractAdaptor(parent), log_(std::move(log)) {}

 public slots:
  void OpenUri(const QString& uri) { Write(QStringLiteral("OpenUri ") + uri); }
  void Play() {
    Write(QStringLiteral("Play"));
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  }

 private:
  void Write(const QString& line) {
    QFile f(log_);
    if (f.open(QIODevice::Append)) f.write((line + QLatin1Char('\n')).toUtf8());
  }
  QString log_;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  QObject root;
  new PlayerAdaptor(&root, QString::fromLocal8Bit(argv[1]));
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), &root) ||
      !bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.fakeplayer"))) {
    std::fprintf(stderr, "fake player: no session bus\n");
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  QTimer::singleShot(10000, &app, &QCoreApplication::quit);
  return app.exec();
}

#include "FakeMprisPlayer.moc"
