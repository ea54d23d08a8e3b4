#pragma once
// The tray picture sizes, in device-independent pixels, a panel may ask
// for. The tray draws each of them times the screen's device pixel ratio,
// every one by the drawing code at its own size.

#include <array>

namespace qgm {

inline constexpr std::array<int, 6> kTrayIconSizes{16, 22, 24, 32, 48, 64};

}  // namespace qgm
