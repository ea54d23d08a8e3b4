#include "gui/controls/PlainText.h"

#include <QLabel>
#include <QTextDocument>

namespace qgm::gui {

void MakeLabelsPlain(QWidget& root) {
  if (auto* self = qobject_cast<QLabel*>(&root)) self->setTextFormat(Qt::PlainText);
  for (QLabel* label : root.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
}

QString PlainToolTip(const QString& text) {
  // Tooltips have no plain-text mode: escaped as rich text, shown as typed.
  return text.isEmpty() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

}  // namespace qgm::gui
