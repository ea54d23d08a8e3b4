#include "gui/setup/OneLineGuard.h"

#include <QLineEdit>

#include <memory>

#include "core/util/SingleLine.h"

namespace qgm::gui {

void GuardOneLine(QLineEdit* edit, const std::string& what,
                  std::function<void(const QString& problem)> warn) {
  // The text to go back to: the last one without any break, whether typed
  // or set by the program.
  auto lastGood = std::make_shared<QString>(edit->text());
  QObject::connect(edit, &QLineEdit::textChanged, edit, [lastGood](const QString& text) {
    if (!HoldsLineBreak(text.toStdU16String())) *lastGood = text;
  });
  QObject::connect(edit, &QLineEdit::textEdited, edit,
                   [edit, what, warn = std::move(warn), lastGood](const QString& text) {
                     const TOneLineField f = CheckOneLineField(text.toStdU16String(), what);
                     if (f.Problem.empty()) {
                       if (f.Text.size() != static_cast<size_t>(text.size()))
                         edit->setText(QString::fromStdU16String(f.Text));
                       return;
                     }
                     edit->setText(*lastGood);
                     if (warn) warn(QString::fromStdString(f.Problem));
                   });
}

}  // namespace qgm::gui
