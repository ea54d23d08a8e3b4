#include "gui/controls/FocusLabel.h"

#include "gui/controls/Contrast.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

namespace qgm::gui {

TFocusLabel::TFocusLabel(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
  resize(100, 20);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
  UpdateShortcut();
}

int TFocusLabel::TextFlags() const {
  int flags = static_cast<int>(alignment_ & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
  if (wordWrap_) flags |= Qt::TextWordWrap;
  flags |= showAccel_ ? Qt::TextShowMnemonic : 0;
  return flags;
}

void TFocusLabel::SetCaption(const QString& caption) {
  const bool changed = caption != caption_;
  caption_ = caption;
  UpdateShortcut();
  Resize();
  update();
  if (changed && QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void TFocusLabel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void TFocusLabel::SetAutoSize(bool on) {
  autoSize_ = on;
  Resize();
}

void TFocusLabel::SetPadding(int padding) {
  padding_ = TabStop() ? std::max(2, std::min(padding, 30)) : std::clamp(padding, 0, 30);
  Resize();
  update();
}

void TFocusLabel::SetTabStop(bool on) {
  setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
  if (on && padding_ < 2) SetPadding(2);
}

void TFocusLabel::SetShowAccelChar(bool on) {
  showAccel_ = on;
  UpdateShortcut();
  update();
}

void TFocusLabel::SetWordWrap(bool on) {
  wordWrap_ = on;
  Resize();
  update();
}

void TFocusLabel::UpdateShortcut() {
  if (shortcutId_) releaseShortcut(shortcutId_);
  shortcutId_ = 0;
  const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
  if (showAccel_ && !mnemonic.isEmpty()) shortcutId_ = grabShortcut(mnemonic);
}

void TFocusLabel::Resize() {
  if (!autoSize_) return;
  // The trimmed caption in the current bounds (so the width limits
  // wrapping), grown by the padding, keeping the anchor of the alignment.
  const QRect measured =
      fontMetrics().boundingRect(QRect(0, 0, width(), height()), TextFlags(), caption_.trimmed());
  const int w = measured.width() + 2 * padding_, h = measured.height() + 2 * padding_;
  QRect g = geometry();
  if (alignment_ & Qt::AlignRight) {
    g.setLeft(g.right() + 1 - w);
  } else if (alignment_ & Qt::AlignLeft) {
    g.setWidth(w);
  } else {
    const QPoint centre = g.center();
    g.setWidth(w);
    g.moveLeft(centre.x() - (w - 1) / 2);
  }
  if (alignment_ & (Qt::AlignLeft | Qt::AlignRight)) {
    g.setHeight(h);
  } else {
    const int centreY = geometry().center().y();
    g.setHeight(h);
    g.moveTop(centreY - (h - 1) / 2);
  }
  setGeometry(g);
}

void TFocusLabel::Click() {
  if (OnClick) OnClick();
}

void TFocusLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  QRect r = rect();
  if (Pressed() || !isEnabled()) r.translate(1, 1);
  QRect inner = r.adjusted(padding_, padding_, -padding_, -padding_);
  QColor colour = palette().color(QPalette::WindowText);
  if (!isEnabled()) {
    colour = palette().color(QPalette::Light);
  } else {
    if (mouseOver_) colour = mouseOverColor_;
    // Link and hover colours are chosen for a light face; on a dark one
    // they keep their hue, lightened.
    colour = LegibleOn(*this, colour);
  }
  p.setPen(colour);
  p.drawText(inner, TextFlags(), caption_);
  if (!isEnabled()) {
    // Embossed: the text again, one pixel up and left, in the shadow colour.
    p.setPen(palette().color(QPalette::Dark));
    p.drawText(inner.translated(-1, -1), TextFlags(), caption_);
  }
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

void TFocusLabel::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) &&
      OnClick && !e->isAutoRepeat()) {
    keyDown_ = true;
    update();
  }
  QWidget::keyPressEvent(e);
}

void TFocusLabel::keyReleaseEvent(QKeyEvent* e) {
  if (keyDown_ && !e->isAutoRepeat()) {
    keyDown_ = false;
    update();
    Click();
  }
  QWidget::keyReleaseEvent(e);
}

void TFocusLabel::mousePressEvent(QMouseEvent* e) {
  if (!hasFocus() && TabStop()) setFocus(Qt::MouseFocusReason);
  if (isEnabled() && OnClick && e->button() == Qt::LeftButton) {
    mouseDown_ = true;
    update();
  }
}

void TFocusLabel::mouseReleaseEvent(QMouseEvent* e) {
  const bool wasDown = mouseDown_;
  mouseDown_ = false;
  if (wasDown) update();
  // A click needs the press and the release on the label.
  if (wasDown && rect().contains(e->position().toPoint())) Click();
}

void TFocusLabel::enterEvent(QEnterEvent*) {
  if (!isEnabled()) return;
  mouseOver_ = true;
  update();
  if (OnMouseEnter) OnMouseEnter();
}

void TFocusLabel::leaveEvent(QEvent*) {
  mouseOver_ = false;
  mouseDown_ = false;
  update();
  if (OnMouseLeave) OnMouseLeave();
}

bool TFocusLabel::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    auto* s = static_cast<QShortcutEvent*>(e);
    if (s->shortcutId() == shortcutId_ && OnClick && isEnabled() && isVisible()) {
      Click();
      return true;
    }
  }
  return QWidget::event(e);
}

void TFocusLabel::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) {
    if (!isEnabled()) mouseOver_ = false;
    update();
  }
  if (e->type() == QEvent::FontChange) Resize();
  QWidget::changeEvent(e);
}

}  // namespace qgm::gui
