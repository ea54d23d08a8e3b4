#include "gui/app/Dialogs.h"

#include <QApplication>
#include <QFileDialog>

namespace qgm::gui {

QString TQtDialogs::SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter, const QString& defaultSuffix) {
  // getSaveFileName takes no default suffix; a suffix added after it
  // returned would replace a file the dialog never asked about.
  QFileDialog dialog(parent, caption, suggested, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(defaultSuffix);
  // The desktop's own dialogs ask about the name as typed and Qt adds the
  // suffix only afterwards; Qt's dialog adds it first, then asks.
  if (!defaultSuffix.isEmpty()) dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
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
