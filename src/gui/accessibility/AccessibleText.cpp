#include "gui/accessibility/AccessibleText.h"

#include <QLabel>
#include <QWidget>

namespace qgm::gui {

QString WithoutAccelerator(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 < caption.size() && caption[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

QString BuddyCaption(const QWidget& widget) {
  const QWidget* parent = widget.parentWidget();
  if (!parent) return {};
  for (const QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (label->buddy() != &widget) continue;
    QString text = WithoutAccelerator(label->text()).trimmed();
    if (text.endsWith(u':')) text.chop(1);
    return text.trimmed();
  }
  return {};
}

}  // namespace qgm::gui
