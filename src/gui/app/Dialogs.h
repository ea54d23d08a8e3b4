#pragma once
// The program's file and message dialogs behind one interface, so the flows
// that use them (the debug report, the usage log, channel backups) run
// headless in tests, which answer them.

#include <QMessageBox>
#include <QString>

class QWidget;

namespace qgm::gui {

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // The file chosen in a save dialog; empty when cancelled. The dialog
  // puts `defaultSuffix` (without its dot) on a name typed without one and
  // asks before replacing a file that exists, under the name it returns.
  virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                               const QString& filter, const QString& defaultSuffix = QString()) = 0;
  // The file chosen in an open dialog; empty when cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter) = 0;
  // A question; the button the user chose. `defaultButton` is the one
  // Enter presses (none given: the box's own choice).
  virtual QMessageBox::StandardButton Question(
      QWidget* parent, const QString& title, const QString& text,
      QMessageBox::StandardButtons buttons,
      QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;
  virtual void Warning(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void Beep() = 0;
};

// The real dialogs.
class TQtDialogs : public IDialogs {
 public:
  QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                       const QString& filter, const QString& defaultSuffix) override;
  QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filter) override;
  QMessageBox::StandardButton Question(QWidget* parent, const QString& title, const QString& text,
                                       QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton) override;
  void Warning(QWidget* parent, const QString& title, const QString& text) override;
  void Beep() override;
  static TQtDialogs& Shared();
};

}  // namespace qgm::gui
