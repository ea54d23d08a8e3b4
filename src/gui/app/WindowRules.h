#pragma once
// The main window's arithmetic, kept apart from Qt so it can be tested
// alone: edge snapping and tab cycling over hidden pages.

#include <vector>

namespace qgm::gui {

struct TWindowRect {
  int Left, Top, Width, Height;
};

// A window within `distance` pixels of a work-area edge moves flush with it.
inline TWindowRect SnapToEdges(TWindowRect w, const TWindowRect& area, int distance = 11) {
  const int areaRight = area.Left + area.Width, areaBottom = area.Top + area.Height;
  auto near = [distance](int a, int b) { return a - b <= distance && b - a <= distance; };
  if (near(w.Left, area.Left)) {
    w.Left = area.Left;
  } else if (near(w.Left + w.Width, areaRight)) {
    w.Left = areaRight - w.Width;
  }
  if (near(w.Top, area.Top)) {
    w.Top = area.Top;
  } else if (near(w.Top + w.Height, areaBottom)) {
    w.Top = areaBottom - w.Height;
  }
  return w;
}

// The next (or previous) visible page after `current`, wrapping round;
// `current` itself when no other page is visible.
inline int NextVisiblePage(int current, bool forward, const std::vector<bool>& visible) {
  const int n = static_cast<int>(visible.size());
  for (int step = 1; step < n; ++step) {
    const int i = ((current + (forward ? step : -step)) % n + n) % n;
    if (visible[i]) return i;
  }
  return current;
}

}  // namespace qgm::gui
