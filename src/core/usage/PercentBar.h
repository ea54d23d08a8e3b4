#pragma once
// The Broadband tab's percentage bars: a bevelled trough with a shaded fill
// whose end is softened, drawn into a picture (the text over it is the
// window's).

#include <cstdint>

#include "core/util/Pixmap.h"

namespace qgm {

// The default button-face colour the trough is shaded from.
inline constexpr uint32_t kButtonFace = 0xF0F0F0;

// Draws into the whole picture: percentage p (values outside 0..100 leave
// the fill out or full), fill colour c (0x00BBGGRR). A picture lower than
// 8 pixels is left untouched.
void DrawPercentBar(TPixmap& picture, int p, uint32_t c, uint32_t buttonFace = kButtonFace);

}  // namespace qgm
