#pragma once
// Dialogs answered by the test: the next file names and question answers
// are queued; warnings and beeps are recorded.

#include <QFileInfo>
#include <QString>

#include <deque>
#include <vector>

#include "gui/app/Dialogs.h"

namespace qgm::test {

class FakeDialogs : public gui::IDialogs {
 public:
  // As the real dialog does: the default suffix goes on a name without a
  // dot, and a file that exists under the final name is asked about (a
  // "no" leaves the dialog, here as a cancel).
  QString SaveFileName(QWidget*, const QString&, const QString& suggested, const QString&,
                       const QString& defaultSuffix) override {
    suggestions.push_back(suggested);
    suffixes.push_back(defaultSuffix);
    QString name = Next(fileNames);
    if (name.isEmpty()) return name;
    if (!defaultSuffix.isEmpty() && !QFileInfo(name).fileName().contains(QLatin1Char('.')))
      name += QLatin1Char('.') + defaultSuffix;
    if (QFileInfo::exists(name)) {
      replaceQuestions.push_back(name);
      const bool replace = !replaceAnswers.empty() && replaceAnswers.front();
      if (!replaceAnswers.empty()) replaceAnswers.pop_front();
      if (!replace) return {};
    }
    return name;
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

  std::deque<QString> fileNames;                    // empty: the dialog is cancelled
  std::deque<bool> replaceAnswers;                  // replace a file that exists? empty: no
  std::vector<QString> suffixes, replaceQuestions;  // each save's suffix; each file asked about
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
