#pragma once
// Keeps a top-level window where it belongs once the window manager has
// placed it: its frame (title bar and borders included) inside the work
// area, and back where it was when shown again after a hide. Window
// managers differ in what a requested position means: some take it as the
// frame's corner, some as the client area's, and some (i3) add their title
// bar below it on every mapping, so a window shown and hidden by turns
// would creep down the screen. The frame is known only after mapping, so
// the place is settled then.

#include <QObject>
#include <QPoint>
#include <QRect>

class QWidget;

namespace qgm::gui {

struct TPlaceRect {
  int Left, Top, Width, Height;
};

// `window` moved as little as it takes to lie inside `area`; one larger
// than the area keeps its top-left corner in it.
TPlaceRect KeepInside(TPlaceRect window, const TPlaceRect& area);

class TWorkAreaPlace : public QObject {
 public:
  // Watches `window` (a top-level widget, its parent here too).
  explicit TWorkAreaPlace(QWidget& window);
  // The frame's corner to take at the first showing (a stored place);
  // without it, wherever the window first appears.
  void Want(QPoint frameCorner);
  // The frame's corner to keep: while the window manager is still placing
  // a window just shown, where it is going, not where it passes.
  QPoint Place() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Moves the frame to the wanted place, inside the work area.
  void Settle();

  QWidget& window_;
  QPoint wanted_;         // the frame's corner it should have
  bool haveWanted_ = false;
  bool settling_ = false;  // just shown: the window manager's moves are answered
  int corrections_ = 0;    // at most a few, never a fight with the manager
};

}  // namespace qgm::gui
