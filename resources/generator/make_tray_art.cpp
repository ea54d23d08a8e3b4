// Draws the tray artwork the program embeds, reproducibly:
//   glyph_atlas.pgm  960 x 350 glyph coverage (the "TEXT" atlas): one band
//                    per glyph width f of kGlyphBands (core/tray/NumberIcon.h),
//                    f + 4 rows high, holding "0".."9", "?", "$", "X" each f
//                    wide and a narrow "100" 2f wide. The bands f = 8..16
//                    start at column 0, row 11 * (f - 8); in the larger ones
//                    every glyph is whole, clear of its cell's border.
//   main_icon.pam    32 x 32 RGBA program icon (a gauge dial).
//   mail_icon.pam    32 x 32 RGBA envelope (the new-mail alert).
//   phone_icon.pam   32 x 32 RGBA telephone (the voicemail alert).
//   main_icon_128.pam, mail_icon_128.pam, phone_icon_128.pam
//                    the same three drawn at 128 x 128, for large trays.
//   advisory_images.pam  64 x 16 RGBA, four 16 x 16 images for the advisory
//                    list: green ball (seen), orange ball (new), paper clip,
//                    speaker.
//   list_glyphs.ppm  400 x 16 RGB glyph sheet of the item lists: 25 cells
//                    16 wide on magenta, each glyph the 13 x 13 square at
//                    (16n + 1, 1): radio buttons off (1-4) and on (5-8),
//                    empty (9-12) and ticked (13-16) check boxes, plus
//                    (17-20) and minus (21-24) boxes, each group in the
//                    states normal, hot, pressed and disabled.
//   list_glyphs_2x.ppm, advisory_images_2x.pam
//                    the same two drawn at twice the size (800 x 32 with
//                    32-pixel cells, each glyph the 26 x 26 square at
//                    (32n + 2, 2); 128 x 32), for screens of twice the
//                    density.
//   provider_logo.pam  75 x 30 RGBA: the provider's name in its blue over a
//                    green sweep (the Corvalink tab).
//   about_picture.pam  232 x 96 RGBA: the program's dial beside a month of
//                    usage bars (the About tab).
//   provider_logo_2x.pam, about_picture_2x.pam
//                    the same two at twice the size.
//
// usage: make_tray_art FONT.ttf OUTDIR
// The committed files were made with Liberation Sans Bold (SIL Open Font
// License) from Debian's fonts-liberation2.

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/tray/NumberIcon.h"
#include "core/util/Pixmap.h"

namespace {

struct Canvas {
  int w, h;
  std::vector<unsigned char> a;
  Canvas(int width, int height) : w(width), h(height), a(static_cast<size_t>(width * height)) {}
};

// Renders `text` into the cell (x0, y0, cw, ch): glyph height fitted to the
// cell, squeezed horizontally when the text is wider than the cell. A whole
// cell keeps its border clear: the text is squeezed to leave a free column
// each side, and a glyph reaching past the digits (the "$") is drawn smaller,
// centred in the cell, so nothing is cut.
void DrawText(const stbtt_fontinfo& font, Canvas& c, int x0, int y0, int cw, int ch,
              const std::string& text, bool whole = false) {
  // Digits stand about 0.72 of the pixel height; aim them at ch - 3 rows.
  // Whole cells measure the "0" instead, so large digits fill the rows.
  int zx0, zy0, zx1, zy1;
  stbtt_GetCodepointBox(&font, '0', &zx0, &zy0, &zx1, &zy1);
  const float scaleY = whole ? (ch - 3.5f) / static_cast<float>(zy1 - zy0)
                             : stbtt_ScaleForPixelHeight(&font, (ch - 2.5f) / 0.74f);
  int ascent, descent, gap;
  stbtt_GetFontVMetrics(&font, &ascent, &descent, &gap);
  float width = 0;
  for (char ch8 : text) {
    int adv, lsb;
    stbtt_GetCodepointHMetrics(&font, ch8, &adv, &lsb);
    width += adv * scaleY;
  }
  const int room = whole ? cw - 3 : cw - 1;
  const float scaleX = width > room ? scaleY * room / width : scaleY;
  float pen = x0 + (cw - width * scaleX / scaleY) / 2.0f;
  // Baseline: digits' top one row below the cell top.
  int cx0, cy0, cx1, cy1;
  stbtt_GetCodepointBitmapBox(&font, '0', scaleX, scaleY, &cx0, &cy0, &cx1, &cy1);
  const int baseline = y0 + 1 - cy0;
  for (char ch8 : text) {
    int adv, lsb;
    stbtt_GetCodepointHMetrics(&font, ch8, &adv, &lsb);
    const float shift = pen - std::floor(pen);
    float sx = scaleX, sy = scaleY;
    int bx0, by0, bx1, by1;
    stbtt_GetCodepointBitmapBoxSubpixel(&font, ch8, sx, sy, shift, 0, &bx0, &by0, &bx1, &by1);
    int top = baseline + by0;
    if (whole && (top < y0 + 1 || baseline + by1 > y0 + ch - 1)) {
      // Rows y0 + 1 .. y0 + ch - 2 are free; the glyph is centred in the cell.
      const float fit = static_cast<float>(ch - 3) / static_cast<float>(by1 - by0);
      sx *= fit, sy *= fit;
      stbtt_GetCodepointBitmapBoxSubpixel(&font, ch8, sx, sy, shift, 0, &bx0, &by0, &bx1, &by1);
      top = y0 + (ch - (by1 - by0)) / 2;
    }
    // Shrunk glyphs keep their advance's middle where it was.
    const float inset = adv * (scaleX - sx) / 2;
    const float at = pen + inset;
    const float atShift = at - std::floor(at);
    if (atShift != shift) {
      stbtt_GetCodepointBitmapBoxSubpixel(&font, ch8, sx, sy, atShift, 0, &bx0, &by0, &bx1, &by1);
    }
    const int gw = bx1 - bx0, gh = by1 - by0;
    std::vector<unsigned char> bmp(static_cast<size_t>(std::max(gw * gh, 1)));
    stbtt_MakeCodepointBitmapSubpixel(&font, bmp.data(), gw, gh, gw, sx, sy, atShift, 0, ch8);
    for (int y = 0; y < gh; ++y) {
      for (int x = 0; x < gw; ++x) {
        const int px = static_cast<int>(std::floor(at)) + bx0 + x, py = top + y;
        if (px < x0 || px >= x0 + cw || py < y0 || py >= y0 + ch) continue;
        unsigned char& dst = c.a[static_cast<size_t>(py * c.w + px)];
        dst = std::max(dst, bmp[static_cast<size_t>(y * gw + x)]);
      }
    }
    pen += adv * scaleX;
  }
}

using Shader = void (*)(float px, float py, float& r, float& g, float& b, float& a);

// Pixel (x, y) sampled 4 x 4 from `shade`, the picture's middle at `half`
// pixels and its coordinates times `scale`: the colour summed weighted by
// alpha (r, g, b) and the alpha summed (a), over the 16 samples.
void SamplePixel(Shader shade, int x, int y, float half, float scale, float& r, float& g, float& b,
                 float& a) {
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      float cr = 0, cg = 0, cb = 0, ca = 0;
      shade((x + (sx + 0.5f) / 4 - half) * scale, (y + (sy + 0.5f) / 4 - half) * scale, cr, cg, cb,
            ca);
      r += cr * ca / 255, g += cg * ca / 255, b += cb * ca / 255, a += ca;
    }
  }
}

// A strip of `size` x `size` images side by side as RGBA (PAM), each pixel
// supersampled 4 x 4 from its shader (coordinates centred on the cell's
// middle, times `scale`).
void WriteStrip(const std::string& path, int size, const std::vector<Shader>& shaders,
                float scale = 1.0f);

// One RGBA picture of a 32-pixel drawing at `size` x `size`.
void WriteIcon(const std::string& path, Shader shade, int size = 32) {
  WriteStrip(path, size, {shade}, 32.0f / static_cast<float>(size));
}

// An envelope: white body, blue outline and flap lines.
void Envelope(float px, float py, float& r, float& g, float& b, float& a) {
  if (std::fabs(px) > 14 || py < -9 || py > 10) return;
  r = 250, g = 250, b = 245, a = 255;
  const bool edge = std::fabs(px) > 12.6f || py < -7.6f || py > 8.6f;
  const bool flap = std::fabs(py + 9 - (14 - std::fabs(px)) * 0.72f) < 1.1f;  // the V of the flap
  if (edge || flap) r = 30, g = 80, b = 170;
}

// A telephone handset: a thick dark arc with round ends, on a light disc.
void Phone(float px, float py, float& r, float& g, float& b, float& a) {
  const float d = std::sqrt(px * px + py * py);
  if (d <= 15.5f) r = 255, g = 235, b = 120, a = 255;
  const float ang = std::atan2(py, px);
  const bool arc = d > 6 && d < 11.5f && ang < -0.3f && ang > -2.85f;
  const float ex1 = px - 9.5f * std::cos(-0.35f), ey1 = py - 9.5f * std::sin(-0.35f);
  const float ex2 = px - 9.5f * std::cos(-2.8f), ey2 = py - 9.5f * std::sin(-2.8f);
  const bool ends = ex1 * ex1 + ey1 * ey1 < 16 || ex2 * ex2 + ey2 * ey2 < 16;
  if (arc || ends) r = 40, g = 40, b = 50, a = 255;
}

// The program icon: a blue dial with a white rim, a green arc and a
// yellow needle.
void Gauge(float px, float py, float& cr, float& cg, float& cb, float& ca) {
  const float d = std::sqrt(px * px + py * py);
  if (d <= 15.5f) cr = 20, cg = 70, cb = 160, ca = 255;
  if (d > 13 && d <= 15.5f) cr = 235, cg = 240, cb = 250;
  if (d > 8.5f && d <= 12 && py < 3) cr = 40, cg = 210, cb = 60;
  // Needle from the centre towards the upper right.
  const float nx = std::cos(-0.9f), ny = std::sin(-0.9f);
  const float along = px * nx + py * ny, across = std::fabs(-px * ny + py * nx);
  if (along > -1 && along < 11 && across < 1.3f) cr = 255, cg = 210, cb = 40;
  if (d < 2.2f) cr = 255, cg = 255, cb = 255;
}

// A shaded ball of radius 6.5 around the cell's centre, lit from the upper
// left.
void Ball(float px, float py, float r0, float g0, float b0, float& r, float& g, float& b,
          float& a) {
  const float d = std::sqrt(px * px + py * py);
  if (d > 6.6f) return;
  const float lx = px + 2.2f, ly = py + 2.4f;
  const float light = std::max(0.0f, 1.0f - std::sqrt(lx * lx + ly * ly) / 5.0f);
  const float shade = 0.72f + 0.28f * (1 - d / 6.6f);
  r = std::min(255.0f, r0 * shade + 255 * light * 0.8f);
  g = std::min(255.0f, g0 * shade + 255 * light * 0.8f);
  b = std::min(255.0f, b0 * shade + 255 * light * 0.8f);
  a = 255;
  if (d > 5.9f) r *= 0.6f, g *= 0.6f, b *= 0.6f;  // a darker rim
}

void GreenBall(float px, float py, float& r, float& g, float& b, float& a) {
  Ball(px, py, 40, 170, 50, r, g, b, a);
}
void OrangeBall(float px, float py, float& r, float& g, float& b, float& a) {
  Ball(px, py, 245, 130, 20, r, g, b, a);
}

// A paper clip: two nested rounded loops, steel grey.
void PaperClip(float px, float py, float& r, float& g, float& b, float& a) {
  auto loop = [](float x, float y, float half, float top, float bottom) {
    // Distance to a stadium (a vertical segment with round ends) outline.
    const float cy = std::clamp(y, top + half, bottom - half);
    return std::fabs(std::sqrt(x * x + (y - cy) * (y - cy)) - half);
  };
  const float outer = loop(px - 0.5f, py, 3.6f, -7, 7);
  const float inner = py > -4.5f ? loop(px - 0.5f, py, 1.9f, -4.5f, 4.5f) : 9;
  if (std::min(outer, inner) < 0.75f) r = 110, g = 118, b = 130, a = 255;
}

// A loudspeaker with two sound waves, dark grey.
void Speaker(float px, float py, float& r, float& g, float& b, float& a) {
  const bool box = px > -6.5f && px < -3.5f && std::fabs(py) < 2.2f;
  const bool cone = px >= -3.5f && px < 0.5f && std::fabs(py) < 2.2f + (px + 3.5f) * 1.1f;
  const float d = std::sqrt((px + 1) * (px + 1) + py * py);
  const bool waves = px > 1.5f && std::fabs(py) < (px + 1) * 0.9f &&
                     (std::fabs(d - 4) < 0.7f || std::fabs(d - 6.5f) < 0.7f);
  if (box || cone || waves) r = 50, g = 55, b = 65, a = 255;
}

void WriteStrip(const std::string& path, int size, const std::vector<Shader>& shaders,
                float scale) {
  const int S = size;
  const int w = S * static_cast<int>(shaders.size());
  std::vector<unsigned char> rgba(static_cast<size_t>(w * S * 4), 0);
  for (size_t cell = 0; cell < shaders.size(); ++cell) {
    for (int y = 0; y < S; ++y) {
      for (int x = 0; x < S; ++x) {
        float r = 0, g = 0, b = 0, a = 0;
        SamplePixel(shaders[cell], x, y, static_cast<float>(S / 2), scale, r, g, b, a);
        const size_t i = (static_cast<size_t>(y) * w + cell * S + x) * 4;
        a /= 16;
        if (a > 0) {
          rgba[i] = static_cast<unsigned char>(std::lround(r / 16 * 255 / a));
          rgba[i + 1] = static_cast<unsigned char>(std::lround(g / 16 * 255 / a));
          rgba[i + 2] = static_cast<unsigned char>(std::lround(b / 16 * 255 / a));
        }
        rgba[i + 3] = static_cast<unsigned char>(std::lround(a));
      }
    }
  }
  std::ofstream out(path, std::ios::binary);
  out << "P7\nWIDTH " << w << "\nHEIGHT " << S
      << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  out.write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
}

// The provider's green sweep under its name: a shallow curve rising to
// the right, thicker in the middle (coordinates of the 75 x 30 logo,
// centred).
void Sweep(float px, float py, float& r, float& g, float& b, float& a) {
  if (px < -34 || px > 34) return;
  const float t = (px + 34) / 68;  // 0 .. 1 along the sweep
  const float mid = 10.5f - 5.5f * t * t;
  const float half = 0.6f + 1.4f * std::sin(t * 3.14159f);
  if (std::fabs(py - mid) <= half) r = 40, g = 170, b = 50, a = 255;
}

// The About picture: the program's dial, and a month of usage as bars on
// a base line, the last one (today) still growing (coordinates of the
// 232 x 96 picture, centred).
void AboutScene(float px, float py, float& r, float& g, float& b, float& a) {
  // The dial, 84 across, on the left.
  const float k = 15.5f / 42;
  Gauge((px + 68) * k, py * k, r, g, b, a);
  if (a > 0) return;
  constexpr float kHeights[] = {34, 52, 40, 66, 58, 74, 30};
  for (int i = 0; i < 7; ++i) {
    const float left = -14 + 17 * static_cast<float>(i);
    if (px < left || px >= left + 12 || py > 38 || py < 38 - kHeights[i]) continue;
    const float shade = 0.8f + 0.2f * (px - left) / 12;  // lit from the right
    const bool today = i == 6;
    r = (today ? 245 : 40) * shade, g = (today ? 130 : 170) * shade, b = (today ? 20 : 50) * shade;
    a = 255;
    return;
  }
  if (px >= -20 && px <= 108 && py > 38.5f && py <= 40.5f) r = 110, g = 118, b = 130, a = 255;
}

// A `w` x `h` RGBA picture of `shade` (coordinates centred, times
// `scale`), each pixel supersampled 4 x 4, with `text` coverage (if any)
// laid over it in `ink`.
void WritePicture(const std::string& path, int w, int h, Shader shade, float scale,
                  const Canvas* text = nullptr, const unsigned char* ink = nullptr) {
  std::vector<unsigned char> rgba(static_cast<size_t>(w * h * 4), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          float cr = 0, cg = 0, cb = 0, ca = 0;
          shade((x + (sx + 0.5f) / 4 - w / 2.0f) * scale, (y + (sy + 0.5f) / 4 - h / 2.0f) * scale,
                cr, cg, cb, ca);
          r += cr * ca / 255, g += cg * ca / 255, b += cb * ca / 255, a += ca;
        }
      }
      a /= 16, r /= 16, g /= 16, b /= 16;  // premultiplied, 0 .. 255
      if (text) {
        const float t = text->a[static_cast<size_t>(y * w + x)] / 255.0f;
        r = ink[0] * t + r * (1 - t), g = ink[1] * t + g * (1 - t), b = ink[2] * t + b * (1 - t);
        a = 255 * t + a * (1 - t);
      }
      const size_t i = (static_cast<size_t>(y) * w + x) * 4;
      if (a > 0) {
        rgba[i] = static_cast<unsigned char>(std::lround(std::min(255.0f, r * 255 / a)));
        rgba[i + 1] = static_cast<unsigned char>(std::lround(std::min(255.0f, g * 255 / a)));
        rgba[i + 2] = static_cast<unsigned char>(std::lround(std::min(255.0f, b * 255 / a)));
      }
      rgba[i + 3] = static_cast<unsigned char>(std::lround(a));
    }
  }
  std::ofstream out(path, std::ios::binary);
  out << "P7\nWIDTH " << w << "\nHEIGHT " << h
      << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  out.write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
}

// The provider logo at `scale` times 75 x 30: its name over the sweep.
void WriteLogo(const stbtt_fontinfo& font, const std::string& path, int scale) {
  const int w = 75 * scale, h = 30 * scale;
  Canvas name(w, h);
  DrawText(font, name, 0, 1 * scale, w, 19 * scale, "Corvalink");
  const unsigned char blue[3] = {20, 70, 160};
  WritePicture(path, w, h, Sweep, 1.0f / static_cast<float>(scale), &name, blue);
}

// The item lists' glyph sheet. Each glyph is drawn 4 x 4 supersampled
// inside its 13 x 13 square, which is opaque; only the gaps between the
// squares are magenta. At `scale` 2 every length is doubled and each device
// pixel is sampled on its own: the same glyphs in finer pixels.
class GlyphSheet {
 public:
  static constexpr int kSide = 13;  // in the glyphs' own units
  explicit GlyphSheet(int scale = 1)
      : scale_(scale),
        w_(400 * scale),
        h_(16 * scale),
        cell_(16 * scale),
        rgb_(static_cast<size_t>(w_ * h_ * 3)) {
    for (size_t i = 0; i < rgb_.size(); i += 3) rgb_[i] = 255, rgb_[i + 1] = 0, rgb_[i + 2] = 255;
  }

  // State 0 normal, 1 hot, 2 pressed, 3 disabled.
  void Draw(int cell, int kind, int state) {
    struct Rgb {
      float r, g, b;
    };
    const Rgb border = state == 3 ? Rgb{202, 200, 187} : Rgb{28, 81, 128};
    const Rgb top = state == 2   ? Rgb{176, 176, 167}
                    : state == 3 ? Rgb{250, 250, 248}
                                 : Rgb{220, 220, 215};
    const Rgb bottom = state == 2 ? Rgb{226, 226, 220} : Rgb{255, 255, 255};
    const Rgb hot{248, 179, 48};
    const Rgb mark = state == 3  ? Rgb{202, 200, 187}
                     : kind >= 4 ? Rgb{30, 30, 30}
                                 : Rgb{33, 161, 33};
    const float scale = static_cast<float>(scale_);
    for (int y = 0; y < kSide * scale_; ++y) {
      for (int x = 0; x < kSide * scale_; ++x) {
        float r = 0, g = 0, b = 0;
        for (int sy = 0; sy < 4; ++sy) {
          for (int sx = 0; sx < 4; ++sx) {
            const float px = (x + (sx + 0.5f) / 4) / scale,  // 0..13
                py = (y + (sy + 0.5f) / 4) / scale;
            const float t = py / kSide;
            Rgb c{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                  top.b + (bottom.b - top.b) * t};
            const float cx = px - 6.5f, cy = py - 6.5f, d = std::sqrt(cx * cx + cy * cy);
            if (kind <= 1) {  // radio button: a ring on a white ground
              if (d > 6.4f)
                c = {255, 255, 255};
              else if (d > 5.3f)
                c = border;
              else if (state == 1 && d > 4.2f)
                c = hot;
              if (kind == 1 && d < 2.6f) c = mark;
            } else {  // a square box with a one-pixel frame
              const bool frame = px < 1 || px >= 12 || py < 1 || py >= 12;
              const bool ring = px < 3 || px >= 10 || py < 3 || py >= 10;
              if (frame)
                c = border;
              else if (state == 1 && ring && kind <= 3)
                c = hot;
              if (kind == 3) {  // the tick: two strokes, short then long
                const float a = std::fabs((px - 3) - (py - 6)) / 1.41f;      // down-right stroke
                const float b2 = std::fabs((px - 5.5f) + (py - 9)) / 1.41f;  // up-right stroke
                if ((a < 1.1f && px >= 3 && px <= 5.8f) || (b2 < 1.1f && px >= 5 && px <= 10))
                  c = mark;
              }
              const bool bar = std::fabs(cy) < 0.75f && std::fabs(cx) < 3.6f;
              const bool post = std::fabs(cx) < 0.75f && std::fabs(cy) < 3.6f;
              if ((kind == 4 && (bar || post)) || (kind == 5 && bar)) c = mark;
            }
            r += c.r, g += c.g, b += c.b;
          }
        }
        const size_t i = static_cast<size_t>((scale_ + y) * w_ + cell * cell_ + scale_ + x) * 3;
        rgb_[i] = static_cast<unsigned char>(std::lround(r / 16));
        rgb_[i + 1] = static_cast<unsigned char>(std::lround(g / 16));
        rgb_[i + 2] = static_cast<unsigned char>(std::lround(b / 16));
      }
    }
  }

  void Write(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w_ << " " << h_ << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb_.data()),
              static_cast<std::streamsize>(rgb_.size()));
  }

 private:
  int scale_, w_, h_, cell_;
  std::vector<unsigned char> rgb_;
};

// Kinds in cell order from cell 1: radio off, radio on, empty box, ticked
// box, plus, minus; four states each. Cell 0 stays empty.
void WriteListGlyphs(const std::string& path, int scale = 1) {
  GlyphSheet sheet(scale);
  for (int kind = 0; kind < 6; ++kind) {
    for (int state = 0; state < 4; ++state) sheet.Draw(1 + kind * 4 + state, kind, state);
  }
  sheet.Write(path);
}

}  // namespace

// The program icon at `size` x `size` for the desktop's icon theme: the
// same drawing as the 32 x 32 one, scaled, each pixel supersampled 4 x 4.
qgm::TPixmap ScaledIcon(Shader shade, int size) {
  qgm::TPixmap out(size, size);
  const float scale = 32.0f / static_cast<float>(size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      SamplePixel(shade, x, y, size / 2.0f, scale, r, g, b, a);
      a /= 16;
      uint32_t pixel = static_cast<uint32_t>(std::lround(a)) << 24;
      if (a > 0) {
        pixel |= static_cast<uint32_t>(std::lround(r / 16 * 255 / a)) << 16 |
                 static_cast<uint32_t>(std::lround(g / 16 * 255 / a)) << 8 |
                 static_cast<uint32_t>(std::lround(b / 16 * 255 / a));
      }
      out.At(x, y) = pixel;
    }
  }
  return out;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--desktop-icons") {
    // OUTDIR/qgm-<size>.png for each size of the icon theme.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
      const std::string path = std::string(argv[2]) + "/qgm-" + std::to_string(size) + ".png";
      std::ofstream out(path, std::ios::binary);
      out << qgm::EncodePng(ScaledIcon(Gauge, size));
      if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
      }
    }
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: make_tray_art FONT.ttf OUTDIR\n"
                 "       make_tray_art --desktop-icons OUTDIR\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<unsigned char> ttf((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
  stbtt_fontinfo font;
  if (ttf.empty() ||
      !stbtt_InitFont(&font, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0))) {
    std::fprintf(stderr, "cannot read the font %s\n", argv[1]);
    return 1;
  }
  Canvas atlas(qgm::kAtlasWidth, qgm::kAtlasHeight);
  const char* glyphs[13] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "?", "$", "X"};
  for (const qgm::TGlyphBand& band : qgm::kGlyphBands) {
    const int f = band.F;
    // The small bands keep their first drawing; the larger ones hold whole glyphs.
    const bool whole = f > 16;
    for (int k = 0; k < 13; ++k) {
      DrawText(font, atlas, band.X + k * f, band.Y, f, f + 4, glyphs[k], whole);
    }
    DrawText(font, atlas, band.X + 13 * f, band.Y, 2 * f, f + 4, "100", whole);
  }
  const std::string dir = argv[2];
  std::ofstream out(dir + "/glyph_atlas.pgm", std::ios::binary);
  out << "P5\n" << qgm::kAtlasWidth << " " << qgm::kAtlasHeight << "\n255\n";
  out.write(reinterpret_cast<const char*>(atlas.a.data()),
            static_cast<std::streamsize>(atlas.a.size()));
  out.close();
  WriteIcon(dir + "/main_icon.pam", Gauge);
  WriteIcon(dir + "/mail_icon.pam", Envelope);
  WriteIcon(dir + "/phone_icon.pam", Phone);
  WriteIcon(dir + "/main_icon_128.pam", Gauge, 128);
  WriteIcon(dir + "/mail_icon_128.pam", Envelope, 128);
  WriteIcon(dir + "/phone_icon_128.pam", Phone, 128);
  WriteListGlyphs(dir + "/list_glyphs.ppm");
  WriteStrip(dir + "/advisory_images.pam", 16, {GreenBall, OrangeBall, PaperClip, Speaker});
  WriteListGlyphs(dir + "/list_glyphs_2x.ppm", 2);
  WriteStrip(dir + "/advisory_images_2x.pam", 32, {GreenBall, OrangeBall, PaperClip, Speaker},
             0.5f);
  WriteLogo(font, dir + "/provider_logo.pam", 1);
  WriteLogo(font, dir + "/provider_logo_2x.pam", 2);
  WritePicture(dir + "/about_picture.pam", 232, 96, AboutScene, 1.0f);
  WritePicture(dir + "/about_picture_2x.pam", 464, 192, AboutScene, 0.5f);
  return 0;
}
