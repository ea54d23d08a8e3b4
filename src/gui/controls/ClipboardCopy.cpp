#include "gui/controls/ClipboardCopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include "gui/controls/FocusLabel.h"

namespace qgm::gui {
namespace {

const char kCopyingProperty[] = "qgmCopying";

}  // namespace

void CopyWithFeedback(TFocusLabel* label, const QString& message) {
  const QString text = label->Caption();
  if (text.isEmpty() || label->property(kCopyingProperty).toBool()) return;
  QGuiApplication::clipboard()->setText(text);
  const QPalette before = label->palette();
  QPalette maroon = before;
  maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
  label->setProperty(kCopyingProperty, true);
  label->SetCaption(message);
  label->setPalette(maroon);
  label->repaint();
  // The message stays a second; the window keeps working meanwhile.
  QTimer::singleShot(1000, label, [label = QPointer<TFocusLabel>(label), text, before] {
    if (!label) return;
    label->SetCaption(text);
    label->setPalette(before);
    label->setProperty(kCopyingProperty, false);
  });
}

}  // namespace qgm::gui
