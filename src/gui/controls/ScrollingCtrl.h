#pragma once
// A custom-drawn, vertically scrolling list of items of varying height
// (TScrollItem): items form an outline by level and can be collapsed and
// expanded, carry a check box, and one is selected. An item editor
// (TItemEditor) can be laid over the selected item. Item positions are kept
// incrementally and painting covers only what is on screen, so a list of
// 100,000 items scrolls as fast as one of ten.

#include "gui/controls/ScrollItem.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QKeyEvent;
class QMouseEvent;

namespace qgm::gui {

class TItemEditor;

class TScrollingCtrl : public QAbstractScrollArea {
  Q_OBJECT
 public:
  using TScrollItemClass = std::function<std::unique_ptr<TScrollItem>()>;
  // Negative: left first; positive: right first; 0: kept in order.
  using TCompare = std::function<int(const TScrollItem& left, const TScrollItem& right)>;

  explicit TScrollingCtrl(QWidget* parent = nullptr);
  ~TScrollingCtrl() override;

  // The class of new items; only while the list is empty.
  void SetScrollItemClass(TScrollItemClass itemClass);
  template <class T>
  void SetScrollItemClass() {
    SetScrollItemClass([] { return std::unique_ptr<TScrollItem>(std::make_unique<T>()); });
  }
  // Attaches an editor (not owned).
  void SetItemEditor(TItemEditor* editor);
  TItemEditor* ItemEditor() const;

  TScrollItem* AddItem();
  TScrollItem* GetItem(int index) const;
  void DeleteItem(int index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  TScrollItem* SelectedItem() const { return items_.empty() ? nullptr : items_[itemIndex_].get(); }
  int ItemIndex() const { return itemIndex_; }
  void Sort(const TCompare& compare, bool keepSelection);
  // While updating, the scroll bar is left alone; the last EndUpdate
  // brings it up to date and repaints.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  void ScrollTo(int y);
  int ScrollPos() const { return scrollPos_; }
  int ScrollShift() const { return scrollShift_; }
  TScrollItem* ItemAtY(int y) const;
  int FirstVisible() const { return firstVisible_; }
  bool HasVScroll() const;
  int ClientWidth() const;
  int ClientHeight() const;
  int SurfaceHeight() const { return surfaceHeight_; }

  // Layout: only while the list is empty.
  int HorzSpace() const { return horzSpace_; }
  void SetHorzSpace(int value);
  int VertSpace() const { return vertSpace_; }
  void SetVertSpace(int value);
  int TopOffset() const { return topOffset_; }
  void SetTopOffset(int value);
  // Also the scroll step; 3 or less is ignored.
  int DefaultItemHeight() const { return defaultItemHeight_; }
  void SetDefaultItemHeight(int value);
  // For new items; invalid means the desktop's button face.
  QColor DefaultItemColor() const { return defaultItemColor_; }
  void SetDefaultItemColor(const QColor& color) { defaultItemColor_ = color; }
  // For new items; above 3 is ignored.
  int DefaultStyle() const { return defaultStyle_; }
  void SetDefaultStyle(int value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool on);
  bool AutoShowEditor() const { return autoShowEditor_; }
  void SetAutoShowEditor(bool on) { autoShowEditor_ = on; }
  // The background: the parent's showing through, or a fill with the
  // parent's colour, or with Color.
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool on);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool on);
  QColor Color() const;
  void SetColor(const QColor& color);

  // Events. The key handler runs first and returns true when it took the
  // key; the mouse handlers run before the item sees a move, release or
  // double-click, and after it saw a press.
  std::function<void()> OnItemChange;
  std::function<void(TScrollItem& item)> OnItemCheck;
  std::function<bool(QKeyEvent& event)> OnKeyDown;
  std::function<void(QMouseEvent& event)> OnMouseDown;
  std::function<void(QMouseEvent& event)> OnMouseMove;
  std::function<void(QMouseEvent& event)> OnMouseUp;
  std::function<void(QMouseEvent& event)> OnDblClick;
  // The client area changed size (not counting the scroll bar coming or
  // going, which the list's own layout takes care of).
  std::function<void()> OnResize;

  // The items shown (not hidden inside a collapsed one), as assistive
  // tools count them: the position among them of the item at `index`
  // (-1 when hidden), and the item at a position (nullptr past the end).
  int VisibleCount() const;
  int VisiblePosition(int index) const;
  TScrollItem* VisibleItem(int position) const;
  // Tells assistive tools that the item at `index` changed: its state, or
  // (current) that the selection and focus are on it now.
  void NotifyItem(int index, bool current) const;

  // Asks for the editor on the selected item after the current event, as a
  // double-click does.
  void PostOpenEditor();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int, int) override {}

 private:
  friend class TScrollItem;
  friend class TItemEditor;

  void UpdateScrollBar();
  void ComputeFirstVisible();
  void PostItemChange();
  void Repaint();
  void HideEditor();
  // Keeps an open editor over its item after the surface moved.
  void PlaceEditor();
  bool EditorOn() const;
  // The editor on the selected item (Enter, F2, a double-click).
  void OpenEditor();
  void OpenEditorOn(TScrollItem& item);
  void OnBarValue(int value);
  // Moves the items after `from` by `delta` pixels.
  void ShiftItems(int from, int delta);
  void Select(TScrollItem& item, bool showEditor);
  // The first visible item after (before) `index`, or -1.
  int VisibleAfter(int index) const;
  int VisibleBefore(int index) const;
  // The first visible item after `index`, else the nearest visible one at
  // or before it, else `index`; and the other way round.
  int NextVisible(int index) const;
  int PreviousVisible(int index) const;
  void HandleKey(QKeyEvent& event);
  void LayOut();

  std::vector<std::unique_ptr<TScrollItem>> items_;
  TScrollItemClass itemClass_;
  // The editor may be destroyed first; the list then simply has none.
  QPointer<TItemEditor> editor_;
  int itemIndex_ = 0;
  int surfaceHeight_ = 0;
  int scrollPos_ = 0;
  int scrollShift_ = 0;
  int firstVisible_ = 0;
  int updateCount_ = 0;
  bool changePending_ = false;
  bool destroying_ = false;
  bool settingBar_ = false;
  bool inBarUpdate_ = false;
  int barAction_ = 0;
  QSize clientSize_;

  int horzSpace_ = 2;
  int vertSpace_ = 2;
  int topOffset_ = 2;
  int defaultItemHeight_ = 25;
  QColor defaultItemColor_;
  int defaultStyle_ = 0;
  bool hideSelection_ = true;
  bool autoShowEditor_ = false;
  bool parentBackground_ = true;
  bool parentColor_ = true;
  QColor color_;
};

}  // namespace qgm::gui
