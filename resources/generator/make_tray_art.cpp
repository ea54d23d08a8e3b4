// Draws the tray artwork the program embeds, reproducibly:
//   glyph_atlas.pgm  250 x 110 glyph coverage (the "TEXT" atlas): five bands,
//                    one per glyph width f = 8..16 (even), starting at row
//                    11 * (f - 8), f + 4 rows high, holding "0".."9", "?",
//                    "$", "X" each f wide and a narrow "100" 2f wide.
//   main_icon.pam    32 x 32 RGBA program icon (a gauge dial).
//   mail_icon.pam    32 x 32 RGBA envelope (the new-mail alert).
//   phone_icon.pam   32 x 32 RGBA telephone (the voicemail alert).
//
// usage: make_tray_art FONT.ttf OUTDIR
// The committed files were made with Liberation Sans Bold (SIL Open Font
// License) from Debian's fonts-liberation2.

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kAtlasW = 250, kAtlasH = 110;

struct Canvas {
  int w, h;
  std::vector<unsigned char> a;
  Canvas(int width, int height) : w(width), h(height), a(static_cast<size_t>(width * height)) {}
};

// Renders `text` into the cell (x0, y0, cw, ch): glyph height fitted to the
// cell, squeezed horizontally when the text is wider than the cell.
void DrawText(const stbtt_fontinfo& font, Canvas& c, int x0, int y0, int cw, int ch,
              const std::string& text) {
  // Digits stand about 0.72 of the pixel height; aim them at ch - 3 rows.
  const float scaleY = stbtt_ScaleForPixelHeight(&font, (ch - 2.5f) / 0.74f);
  int ascent, descent, gap;
  stbtt_GetFontVMetrics(&font, &ascent, &descent, &gap);
  float width = 0;
  for (char ch8 : text) {
    int adv, lsb;
    stbtt_GetCodepointHMetrics(&font, ch8, &adv, &lsb);
    width += adv * scaleY;
  }
  const float scaleX = width > cw - 1 ? scaleY * (cw - 1) / width : scaleY;
  float pen = x0 + (cw - width * scaleX / scaleY) / 2.0f;
  // Baseline: digits' top one row below the cell top.
  int cx0, cy0, cx1, cy1;
  stbtt_GetCodepointBitmapBox(&font, '0', scaleX, scaleY, &cx0, &cy0, &cx1, &cy1);
  const int baseline = y0 + 1 - cy0;
  for (char ch8 : text) {
    int adv, lsb;
    stbtt_GetCodepointHMetrics(&font, ch8, &adv, &lsb);
    const float shift = pen - std::floor(pen);
    int bx0, by0, bx1, by1;
    stbtt_GetCodepointBitmapBoxSubpixel(&font, ch8, scaleX, scaleY, shift, 0, &bx0, &by0, &bx1, &by1);
    const int gw = bx1 - bx0, gh = by1 - by0;
    std::vector<unsigned char> bmp(static_cast<size_t>(std::max(gw * gh, 1)));
    stbtt_MakeCodepointBitmapSubpixel(&font, bmp.data(), gw, gh, gw, scaleX, scaleY, shift, 0, ch8);
    for (int y = 0; y < gh; ++y) {
      for (int x = 0; x < gw; ++x) {
        const int px = static_cast<int>(std::floor(pen)) + bx0 + x, py = baseline + by0 + y;
        if (px < x0 || px >= x0 + cw || py < y0 || py >= y0 + ch) continue;
        unsigned char& dst = c.a[static_cast<size_t>(py * c.w + px)];
        dst = std::max(dst, bmp[static_cast<size_t>(y * gw + x)]);
      }
    }
    pen += adv * scaleX;
  }
}

using Shader = void (*)(float px, float py, float& r, float& g, float& b, float& a);

// A 32 x 32 RGBA picture, each pixel supersampled 4 x 4 from `shade`
// (coordinates centred on the middle of the picture).
void WriteIcon(const std::string& path, Shader shade) {
  constexpr int S = 32;
  std::vector<unsigned char> rgba(S * S * 4, 0);
  for (int y = 0; y < S; ++y) {
    for (int x = 0; x < S; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          float cr = 0, cg = 0, cb = 0, ca = 0;
          shade(x + (sx + 0.5f) / 4 - 16, y + (sy + 0.5f) / 4 - 16, cr, cg, cb, ca);
          r += cr * ca / 255, g += cg * ca / 255, b += cb * ca / 255, a += ca;
        }
      }
      const size_t i = static_cast<size_t>(y * S + x) * 4;
      a /= 16;
      if (a > 0) {
        rgba[i] = static_cast<unsigned char>(std::lround(r / 16 * 255 / a));
        rgba[i + 1] = static_cast<unsigned char>(std::lround(g / 16 * 255 / a));
        rgba[i + 2] = static_cast<unsigned char>(std::lround(b / 16 * 255 / a));
      }
      rgba[i + 3] = static_cast<unsigned char>(std::lround(a));
    }
  }
  std::ofstream out(path, std::ios::binary);
  out << "P7\nWIDTH 32\nHEIGHT 32\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  out.write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_tray_art FONT.ttf OUTDIR\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<unsigned char> ttf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  stbtt_fontinfo font;
  if (ttf.empty() || !stbtt_InitFont(&font, ttf.data(), stbtt_GetFontOffsetForIndex(ttf.data(), 0))) {
    std::fprintf(stderr, "cannot read the font %s\n", argv[1]);
    return 1;
  }
  Canvas atlas(kAtlasW, kAtlasH);
  const char* glyphs[13] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "?", "$", "X"};
  for (int f = 8; f <= 16; f += 2) {
    const int top = 11 * (f - 8);
    for (int k = 0; k < 13; ++k) DrawText(font, atlas, k * f, top, f, f + 4, glyphs[k]);
    DrawText(font, atlas, 13 * f, top, 2 * f, f + 4, "100");
  }
  const std::string dir = argv[2];
  std::ofstream out(dir + "/glyph_atlas.pgm", std::ios::binary);
  out << "P5\n" << kAtlasW << " " << kAtlasH << "\n255\n";
  out.write(reinterpret_cast<const char*>(atlas.a.data()), static_cast<std::streamsize>(atlas.a.size()));
  out.close();
  WriteIcon(dir + "/main_icon.pam", Gauge);
  WriteIcon(dir + "/mail_icon.pam", Envelope);
  WriteIcon(dir + "/phone_icon.pam", Phone);
  return 0;
}
