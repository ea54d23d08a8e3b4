#pragma once
// The main window's arithmetic, kept apart from Qt so it can be tested
// alone: edge snapping, tab cycling over hidden pages, page accelerators.

#include <cctype>
#include <cstddef>
#include <string>
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

// The accelerator letter of a caption ("&Broadband" -> 'b'), 0 for none;
// "&&" is a plain ampersand.
inline char AcceleratorOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

// The first visible page whose caption has `letter` as its accelerator, in
// any letter case; -1 for none.
inline int PageForAccelerator(char letter, const std::vector<std::string>& captions,
                              const std::vector<bool>& visible) {
  const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  for (std::size_t i = 0; i < captions.size() && i < visible.size(); ++i) {
    if (visible[i] && wanted != 0 && AcceleratorOf(captions[i]) == wanted)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace qgm::gui
