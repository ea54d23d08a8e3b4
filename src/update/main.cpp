// qgm-update: what QGM starts once it has downloaded a newer release.
//   qgm-update PROGRAM UPDATE
// PROGRAM is the QGM that ran, UPDATE the file it saved. The file came from
// a server and nothing has verified it, so it is never run from here: the
// user is told where it is and may open its folder.
//
// For tests and screenshots, QGM_UPDATE_SNAPSHOT=FILE.png saves the window
// as shown, prints its text and closes it.

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qgm-update PROGRAM UPDATE\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("QGM Update"));
  const QFileInfo update(QFile::decodeName(argv[2]));
  const QString program = QFile::decodeName(argv[1]);

  QMessageBox box;
  box.setWindowTitle(QStringLiteral("QGM Update"));
  if (const QString shot = qEnvironmentVariable("QGM_UPDATE_SNAPSHOT"); !shot.isEmpty()) {
    QTimer::singleShot(300, &box, [&box, shot] {
      box.grab().save(shot);
      std::printf("%s\n%s\n", qPrintable(box.text()), qPrintable(box.informativeText()));
      std::fflush(stdout);
      box.done(0);
    });
  }
  if (!update.isFile()) {
    box.setIcon(QMessageBox::Warning);
    box.setText(QStringLiteral("The downloaded QGM update is not there:\n%1")
                    .arg(QDir::toNativeSeparators(update.absoluteFilePath())));
    box.addButton(QMessageBox::Close);
    box.exec();
    return 1;
  }
  box.setIcon(QMessageBox::Information);
  box.setText(QStringLiteral("A new release of QGM was downloaded and saved as\n%1\n(%2 bytes).")
                  .arg(QDir::toNativeSeparators(update.absoluteFilePath()))
                  .arg(update.size()));
  box.setInformativeText(
      QStringLiteral("It has not been installed: install it as you installed QGM, then start QGM "
                     "again. The QGM that asked for it was %1.")
          .arg(QDir::toNativeSeparators(program)));
  QPushButton* open = box.addButton(QStringLiteral("Open Folder"), QMessageBox::ActionRole);
  box.addButton(QMessageBox::Close);
  box.setDefaultButton(open);
  box.exec();
  if (box.clickedButton() == open)
    QDesktopServices::openUrl(QUrl::fromLocalFile(update.absolutePath()));
  return 0;
}
