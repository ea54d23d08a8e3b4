#include "core/xml/XmlText.h"

#include <algorithm>
#include <array>

#include "core/util/CodePage.h"

namespace qgm {
namespace {

struct NamedEntity {
  std::u16string_view name;  // without the leading "&", with the ";"
  char16_t code;
};

// The named entities HtmlToText knows, grouped by first letter in the order
// they are tried. Codes are Latin-1 except "nbsp" (a plain space) and "euro"
// (128, which the code page turns into the euro sign).
constexpr std::array<NamedEntity, 92> kEntities = {{
    {u"Agrave;", 192}, {u"Aacute;", 193}, {u"Atilde;", 195}, {u"Auml;", 196},   {u"Aring;", 197},
    {u"AElig;", 198},  {u"Ccedil;", 199}, {u"Egrave;", 200}, {u"Eacute;", 201}, {u"Ecirc;", 202},
    {u"ETH;", 208},    {u"Igrave;", 204}, {u"Iacute;", 205}, {u"Icirc;", 206},  {u"Iuml;", 207},
    {u"Ntilde;", 209}, {u"Ograve;", 210}, {u"Oacute;", 211}, {u"Ocirc;", 212},  {u"Otilde;", 213},
    {u"Ouml;", 214},   {u"Oslash;", 216}, {u"THORN;", 222},  {u"Ugrave;", 217}, {u"Uacute;", 218},
    {u"Ucirc;", 219},  {u"Uuml;", 220},   {u"Yacute;", 221}, {u"amp;", 38},     {u"acute;", 180},
    {u"agrave;", 224}, {u"aacute;", 225}, {u"atilde;", 227}, {u"auml;", 228},   {u"aring;", 229},
    {u"aelig;", 230},  {u"acirc;", 226},  {u"cedil;", 184},  {u"cent;", 162},   {u"copy;", 169},
    {u"curren;", 164}, {u"ccedil;", 231}, {u"deg;", 176},    {u"divide;", 247}, {u"euro;", 128},
    {u"egrave;", 232}, {u"eacute;", 233}, {u"ecirc;", 234},  {u"euml;", 235},   {u"eth;", 240},
    {u"frac12;", 189}, {u"frac14;", 188}, {u"frac34;", 190}, {u"gt;", 62},      {u"iexcl;", 161},
    {u"iquest;", 191}, {u"lt;", 60},      {u"laquo;", 171},  {u"macr;", 175},   {u"micro;", 181},
    {u"middot;", 183}, {u"nbsp;", 32},    {u"not;", 172},    {u"ntilde;", 241}, {u"ordf;", 170},
    {u"ordm;", 186},   {u"oacute;", 243}, {u"ocirc;", 244},  {u"otilde;", 245}, {u"ouml;", 246},
    {u"oslash;", 248}, {u"para;", 182},   {u"plusmn;", 177}, {u"pound;", 163},  {u"quot;", 34},
    {u"raquo;", 187},  {u"reg;", 174},    {u"sect;", 167},   {u"shy;", 173},    {u"sup1;", 185},
    {u"sup2;", 178},   {u"sup3;", 179},   {u"szlig;", 223},  {u"times;", 215},  {u"thorn;", 254},
    {u"uml;", 168},    {u"ugrave;", 249}, {u"uacute;", 250}, {u"ucirc;", 251},  {u"uuml;", 252},
    {u"yacute;", 253}, {u"yen;", 165},
}};

bool IsLetter(char16_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The value of a reference body: decimal digits, or hexadecimal digits after
// a leading "x" or "X"; -1 when it is no number.
long ReferenceValue(std::u16string_view body) {
  int base = 10;
  if (!body.empty() && (body[0] == 'x' || body[0] == 'X')) {
    base = 16;
    body.remove_prefix(1);
  }
  if (body.empty()) return -1;
  long value = 0;
  for (char16_t c : body) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return -1;
    value = value * base + digit;
  }
  return value;
}

// The position of the first ";" among text[from..to], or npos.
size_t FindSemicolon(std::u16string_view text, size_t from, size_t to) {
  for (size_t p = from; p <= to && p < text.size(); ++p) {
    if (text[p] == ';') return p;
  }
  return std::u16string_view::npos;
}

bool IsWordChar(char16_t c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::u16string DecodeXmlEntities(std::u16string_view text) {
  static constexpr std::array<NamedEntity, 5> kXml = {
      {{u"&amp;", '&'}, {u"&apos;", '\''}, {u"&gt;", '>'}, {u"&lt;", '<'}, {u"&quot;", '"'}}};
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '&') {
      // Plain text up to the next "&" goes across in one piece.
      const size_t amp = std::min(text.find(u'&', i), text.size());
      out.append(text.substr(i, amp - i));
      i = amp;
      continue;
    }
    const std::u16string_view rest = text.substr(i);
    bool done = false;
    for (const auto& e : kXml) {
      if (rest.starts_with(e.name)) {
        out += e.code;
        i += e.name.size();
        done = true;
        break;
      }
    }
    if (!done && rest.size() > 1 && rest[1] == '#') {
      // The ";" as the second, third or fourth character after the "#".
      const size_t semi = FindSemicolon(rest, 3, 5);
      if (semi != std::u16string_view::npos && ReferenceValue(rest.substr(2, semi - 2)) == 38) {
        out += u'&';
        i += semi + 1;
        done = true;
      }
    }
    if (!done) out += text[i++];
  }
  return out;
}

std::u16string HtmlToText(std::u16string_view in) {
  std::u16string out;
  out.reserve(in.size());
  size_t i = 0;
  bool havePending = false;  // a produced character to examine again
  char16_t pending = 0;
  while (havePending || i < in.size()) {
    char16_t c;
    if (havePending) {
      c = pending;
      havePending = false;
    } else {
      c = in[i++];
    }
    // `in.substr(i)` is what follows c in the edited text.
    if (c > 32 && c != '&' && c != '<') {
      // A run of ordinary characters, and single spaces between them, goes
      // across in one piece (c is in[i - 1] here).
      size_t end = i;
      while (end < in.size()) {
        const char16_t d = in[end];
        if ((d > 32 && d != '&' && d != '<') || (d == 32 && in[end - 1] != 32)) {
          ++end;
        } else {
          break;
        }
      }
      out.append(in.substr(i - 1, end - i + 1));
      i = end;
      continue;
    }
    if (c == 13) continue;
    if (c == 32 && !out.empty() && out.back() == 32) continue;
    if (c == '&' && in.size() - i >= 3) {
      if (in[i] == '#') {
        const size_t semi = FindSemicolon(in, i + 2, i + 6);
        const long value =
            semi == std::u16string_view::npos ? -1 : ReferenceValue(in.substr(i + 1, semi - i - 1));
        if (value >= 1) {
          char16_t produced;
          if (value < 256) {
            produced = Char1252ToUnicode(static_cast<unsigned char>(value));
          } else if (value <= 0xFFFF) {
            produced = static_cast<char16_t>(value);
          } else {
            produced = 0xFFFD;  // beyond 16 bits: no single character stands for it
          }
          i = semi + 1;
          if (produced < 33) {
            pending = produced;
            havePending = true;
          } else {
            out += produced;
          }
          continue;
        }
      } else if (IsLetter(in[i])) {
        const std::u16string_view rest = in.substr(i);
        bool found = false;
        for (const auto& e : kEntities) {
          if (e.name[0] == in[i] && rest.starts_with(e.name)) {
            out += e.code;
            i += e.name.size();
            found = true;
            break;
          }
        }
        if (found) continue;
      }
      out += c;
      continue;
    }
    if (c == '<') {
      const size_t close = in.find(u'>', i);
      if (close == std::u16string_view::npos) {
        out += c;
        continue;
      }
      // The tag runs from "<" (one before i) to ">" inclusive.
      const std::u16string_view tag = in.substr(i - 1, close - i + 2);
      const bool lineBreak =
          tag.size() > 3 && tag[1] == 'b' && tag[2] == 'r' && !IsWordChar(tag[3]);
      const bool paragraph = tag.size() > 2 && tag[1] == 'p' && !IsWordChar(tag[2]);
      if (!out.empty() && (lineBreak || paragraph)) out += u'\n';
      i = close + 1;
      continue;
    }
    out += c;
  }
  return out;
}

}  // namespace qgm
