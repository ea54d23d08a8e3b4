#pragma once
// Dialogs answered by the test: the next file names and question answers
// are queued; warnings and beeps are recorded.

#include <QString>

#include <deque>
#include <vector>

#include "gui/app/Dialogs.h"

namespace qgm::test {

class FakeDialogs : public gui::IDialogs {
 public:
  QString SaveFileName(QWidget*, const QString&, const QString& suggested,
                       const QString&) override {
    suggestions.push_back(suggested);
    return Next(fileNames);
  }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return Next(fileNames);
  }
  QMessageBox::StandardButton Question(QWidget*, const QString&, const QString& text,
                                       QMessageBox::StandardButtons,
                                       QMessageBox::StandardButton defaultButton) override {
    questions.push_back(text);
    defaults.push_back(defaultButton);
    if (answers.empty()) return QMessageBox::Cancel;
    const auto a = answers.front();
    answers.pop_front();
    return a;
  }
  void Warning(QWidget*, const QString&, const QString& text) override { warnings.push_back(text); }
  void Beep() override { ++beeps; }

  std::deque<QString> fileNames;  // empty: the dialog is cancelled
  std::deque<QMessageBox::StandardButton> answers;
  std::vector<QString> suggestions, questions, warnings;
  std::vector<QMessageBox::StandardButton> defaults;  // each question's default button
  int beeps = 0;

 private:
  static QString Next(std::deque<QString>& queue) {
    if (queue.empty()) return {};
    QString s = queue.front();
    queue.pop_front();
    return s;
  }
};

}  // namespace qgm::test
