#pragma once
// A container of ordinary fields laid over the selected item of a
// TScrollingCtrl to edit it in place. While open it stretches the item to
// its own height; it closes when the focus moves out of it, giving the item
// its height back.

#include <QColor>
#include <QWidget>

#include <functional>

namespace qgm::gui {

class TScrollItem;
class TScrollingCtrl;

class TItemEditor : public QWidget {
  Q_OBJECT
 public:
  explicit TItemEditor(QWidget* parent = nullptr);
  ~TItemEditor() override;

  // Opens the editor on `item` (which it selects). Raises "DoEdit: No
  // control to take focus" when no field can take the focus.
  virtual void DoEdit(TScrollItem* item);
  // Closes as leaving it does: the exit handler runs, the item gets its
  // height back and the focus returns to the list.
  void CloseEditor();

  TScrollItem* Item() const { return item_; }
  bool Open() const { return open_; }
  // The index of the item the editor last closed on; -1 at first.
  int LastItemIndex() const { return lastItemIndex_; }
  void SetLastItemIndex(int index) { lastItemIndex_ = index; }
  int SavedItemHeight() const { return savedItemHeight_; }

  // Invalid means the desktop's inactive caption colour.
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  // On: the editor takes the item's colour while open.
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool on);

  bool HideOnDblClick = true;
  // Called just before the editor shows: fill the fields from Item().
  std::function<void()> OnBeforeEnter;
  // Called first when the editor closes: store the fields back into Item().
  std::function<void()> OnExit;
  std::function<void(QMouseEvent& event)> OnDblClick;
  // Called last when painting.
  std::function<void(QPainter& painter)> OnPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  friend class TScrollingCtrl;

  TScrollingCtrl* List() const;
  QWidget* FocusTarget() const;
  void NarrowChildren();
  // The exit path. `focusToList`: the list closed the editor (rather than
  // the user moving the focus elsewhere), so the focus goes back to it.
  void Exit(bool focusToList);
  // The item is going away: its height back, the editor hidden, no exit
  // handler.
  void Detach();
  void RestoreColours();

  TScrollItem* item_ = nullptr;
  int lastItemIndex_ = -1;
  QColor savedColor_;
  bool savedParentColor_ = false;
  int savedItemHeight_ = 0;
  QColor color_;
  bool parentColor_ = false;
  bool open_ = false;
  bool closing_ = false;
  QMetaObject::Connection focusWatch_;
};

}  // namespace qgm::gui
