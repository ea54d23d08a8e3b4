#pragma once
// Keeps a Setup field one line: a pasted line break at the end is dropped;
// any other CR, LF or NUL is refused (the field goes back to its last text)
// and `warn` gets the reason. Attach it before the field's own textEdited
// handlers, which then read the kept text.

#include <QString>

#include <functional>
#include <string>

class QLineEdit;

namespace qgm::gui {

// `what` names the field in the message ("password": "The password holds
// a line break.").
void GuardOneLine(QLineEdit* edit, const std::string& what,
                  std::function<void(const QString& problem)> warn);

}  // namespace qgm::gui
