#include "gui/app/Dialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace qgm::gui {

QString TQtDialogs::SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter) {
  return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

QString TQtDialogs::OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QMessageBox::StandardButton TQtDialogs::Question(QWidget* parent, const QString& title,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton) {
  return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

void TQtDialogs::Warning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text);
}

void TQtDialogs::Beep() {
  QApplication::beep();
}

TQtDialogs& TQtDialogs::Shared() {
  static TQtDialogs dialogs;
  return dialogs;
}

}  // namespace qgm::gui
