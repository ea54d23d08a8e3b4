#include "HostileContent.h"

#include <array>

namespace corvalink::sim {
namespace {

std::string Megabyte() {
  // Words of every length up to 60 letters, so a wrapping layout has a
  // megabyte of work to do.
  std::string text;
  text.reserve(1 << 20);
  for (int n = 1; text.size() < (1u << 20); n = n % 60 + 1) {
    text.append(static_cast<size_t>(n), static_cast<char>('a' + n % 26));
    text += ' ';
  }
  text.resize(1 << 20);
  return text;
}

std::array<std::string, kTextKinds> MakeTexts() {
  using namespace std::string_literals;
  return {
      "tab\tbefore\t\nVT\vbefore\v\nFF\fbefore\f\r\nNUL[\0] and CR alone\rhere\t"s,
      "<b>bold</b> <img src=file:///etc/passwd> <a href=javascript:alert(1)>click</a> "
      "<script>alert(2)</script>&amp;"s,
      "Caf\xE9 \x93quoted\x94 \x80"
      "5 \x96 na\xEFve \x85"s,
      "Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC"
      "5 \xE6\x97\xA5\xE6\x9C\xAC "
      "\xF0\x9F\x98\x80 \xEF\xBB\xBF\xE2\x80\xAE"s,
      std::string(20000, 'W'),
      Megabyte(),
  };
}

}  // namespace

const std::string& HostileText(int kind) {
  static const std::array<std::string, kTextKinds> texts = MakeTexts();
  static const std::string none;
  return kind >= 0 && kind < kTextKinds ? texts[static_cast<size_t>(kind)] : none;
}

std::string XmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string HostileLink(int kind, const std::string& site, int index) {
  if (kind == 1) return index % 2 == 0 ? "file:///etc/passwd" : "javascript:alert(1)";
  return site + "/" + HostileText(kind).substr(0, 4096);
}

}  // namespace corvalink::sim
