#pragma once
// A caption that behaves like a link or a flat button: it can take the
// focus (with its tab stop on), turns its hover colour under the mouse,
// looks pressed while the mouse button or Enter/Space is held, clicks on
// release and answers its accelerator key.

#include <QWidget>

#include <functional>

namespace qgm::gui {

class TFocusLabel : public QWidget {
  Q_OBJECT
 public:
  explicit TFocusLabel(const QString& caption = {}, QWidget* parent = nullptr);
  explicit TFocusLabel(QWidget* parent) : TFocusLabel(QString(), parent) {}

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment alignment);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  QColor MouseOverColor() const { return mouseOverColor_; }
  void SetMouseOverColor(const QColor& c) { mouseOverColor_ = c; }
  int Padding() const { return padding_; }
  void SetPadding(int padding);  // 0..30; at least 2 with the tab stop on
  bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
  void SetTabStop(bool on);
  bool ShowAccelChar() const { return showAccel_; }
  void SetShowAccelChar(bool on);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);
  // On: the label opens an address (a link); off: it runs a command (a
  // flat button). What a screen reader calls it.
  bool OpensAddress() const { return opensAddress_; }
  void SetOpensAddress(bool on) { opensAddress_ = on; }

  std::function<void()> OnClick;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

  bool Pressed() const { return mouseDown_ || keyDown_; }
  bool MouseOver() const { return mouseOver_; }
  // What a click does: the click handler, when there is one.
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Resize();
  void UpdateShortcut();
  int TextFlags() const;

  QString caption_;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
  bool autoSize_ = false;
  QColor mouseOverColor_{204, 0, 0};
  int padding_ = 0;
  bool showAccel_ = true;
  bool wordWrap_ = false;
  bool opensAddress_ = false;
  bool mouseOver_ = false;
  bool mouseDown_ = false;
  bool keyDown_ = false;
  int shortcutId_ = 0;
};

}  // namespace qgm::gui
