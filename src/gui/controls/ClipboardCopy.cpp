#include "gui/controls/ClipboardCopy.h"

#include <QClipboard>
#include <QGuiApplication>

#include "gui/controls/FocusLabel.h"

namespace qgm::gui {

TCopyFeedback::TCopyFeedback(TFocusLabel* label, QString message, ITimerFactory& timers)
    : label_(label), message_(std::move(message)), timer_(timers.MakeTimer([this] { Restore(); })) {
  timer_->SetInterval(1000);  // the message stays a second; the window keeps working
}

TCopyFeedback::~TCopyFeedback() = default;

bool TCopyFeedback::Showing() const {
  return timer_->Running();
}

void TCopyFeedback::Copy() {
  const QString text = label_->Caption();
  if (text.isEmpty() || Showing()) return;
  QGuiApplication::clipboard()->setText(text);
  text_ = text;
  before_ = label_->palette();
  QPalette maroon = before_;
  maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
  label_->SetCaption(message_);
  label_->setPalette(maroon);
  label_->repaint();
  timer_->Start();
}

void TCopyFeedback::SetText(const QString& text) {
  if (Showing()) {
    text_ = text;
  } else {
    label_->SetCaption(text);
  }
}

void TCopyFeedback::Restore() {
  timer_->Stop();
  label_->SetCaption(text_);
  label_->setPalette(before_);
}

}  // namespace qgm::gui
