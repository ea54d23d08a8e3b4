#pragma once
// One entry of a TScrollingCtrl: a plain object (not a widget) laid out on
// the list's scroll surface. Lists of a kind derive their items from it and
// override the painting and mouse operations; the list creates them through
// its item class (TScrollingCtrl::SetScrollItemClass).

#include <QColor>
#include <QRect>

#include <stdexcept>

#include <QString>
#include <QStringList>

class QPainter;

namespace qgm::gui {

class TScrollingCtrl;

// Misuse of a list or its editor: raised with a fixed message, the list
// left as it was.
class EListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TScrollItem {
 public:
  TScrollItem() = default;
  virtual ~TScrollItem() = default;
  TScrollItem(const TScrollItem&) = delete;
  TScrollItem& operator=(const TScrollItem&) = delete;

  // Free to set: painting style 0..3, outline depth (each level indents the
  // glyph by 14 pixels), no editing, a check box in place of the outline
  // button.
  int Style = 0;
  int Level = 0;
  bool ReadOnly = false;
  bool ShowCheckBox = false;

  int Index() const { return index_; }
  // Top on the scroll surface; ScreenTop in the list's client area.
  int Top() const { return top_; }
  int ScreenTop() const;
  // The item's own height; a hidden item keeps it while the surface counts 0.
  int Height() const { return height_; }
  bool Collapsed() const { return collapsed_; }
  bool Selected() const { return selected_; }
  bool Checked() const { return checked_; }
  bool Visible() const { return visible_; }
  // Invalid means the desktop's button face.
  QColor Color() const { return color_; }
  TScrollingCtrl* Owner() const { return owner_; }

  bool HasChildren() const;
  TScrollItem* Parent() const;

  void Select();
  void MakeVisible();
  void SetCollapsed(bool collapsed);
  void SetVisible(bool visible);
  void SetHeight(int height);
  void SetColor(const QColor& color);

  virtual void SetChecked(bool checked);
  // Draws the item's body and glyph and leaves the painter ready for text:
  // the list's font, the text colour as pen, no brush, transparent
  // background.
  virtual void Paint(QPainter& painter);
  // The check box or outline button, in client coordinates.
  virtual QRect GlyphRect() const;
  virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  virtual void MouseMove(Qt::KeyboardModifiers, int, int) {}
  virtual void MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
  virtual void DblClick();

  // What assistive tools are told of the item: its text, a longer
  // description, whether it opens and closes (by default the outline's
  // collapsing), and the actions of its own beyond the list's keys.
  virtual QString AccessibleText() const { return {}; }
  virtual QString AccessibleDescription() const { return {}; }
  virtual bool CanExpand() const { return HasChildren(); }
  virtual bool ShowsExpanded() const { return HasChildren() && !collapsed_; }
  virtual void ExpandItem(bool expanded) { SetCollapsed(!expanded); }
  virtual QStringList ItemActions() const { return {}; }
  virtual void DoItemAction(const QString&) {}

 protected:
  // Drawn as selected: selected, and not hidden by HideSelection while the
  // list is without the focus.
  bool ShownSelected() const;
  // What the text of a list row (styles 2 and 3) is drawn on.
  QColor TextBackground() const;

 private:
  friend class TScrollingCtrl;
  friend class TItemEditor;

  // The effective height on the surface: 0 while hidden.
  int SurfaceHeight() const { return visible_ ? height_ : 0; }
  void SetSelectedFlag(bool on) { selected_ = on; }

  int index_ = 0;
  int top_ = 0;
  int height_ = 0;
  bool collapsed_ = false;
  bool selected_ = false;
  bool checked_ = false;
  bool visible_ = true;
  bool inCheckEvent_ = false;
  QColor color_;
  TScrollingCtrl* owner_ = nullptr;
};

}  // namespace qgm::gui
