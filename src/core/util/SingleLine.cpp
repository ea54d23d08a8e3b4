#include "core/util/SingleLine.h"

namespace qgm {
namespace {

template <class Char>
bool IsBreak(Char c) {
  return c == Char('\r') || c == Char('\n') || c == Char(0);
}

template <class View>
bool AnyBreak(View text) {
  for (const auto c : text) {
    if (IsBreak(c)) return true;
  }
  return false;
}

template <class View>
std::string Problem(View text, const std::string& what) {
  for (const auto c : text) {
    if (c == 0) return "The " + what + " holds a NUL character.";
    if (IsBreak(c)) return "The " + what + " holds a line break.";
  }
  return {};
}

}  // namespace

bool HoldsLineBreak(std::string_view text) {
  return AnyBreak(text);
}

bool HoldsLineBreak(std::u16string_view text) {
  return AnyBreak(text);
}

std::string LineBreakProblem(std::string_view text, const std::string& what) {
  return Problem(text, what);
}

std::string LineBreakProblem(std::u16string_view text, const std::string& what) {
  return Problem(text, what);
}

TOneLineField CheckOneLineField(std::u16string_view text, const std::string& what) {
  std::u16string_view kept = text;
  while (!kept.empty() && (kept.back() == u'\r' || kept.back() == u'\n')) kept.remove_suffix(1);
  TOneLineField f;
  f.Problem = LineBreakProblem(kept, what);
  f.Text = f.Problem.empty() ? std::u16string(kept) : std::u16string(text);
  return f;
}

}  // namespace qgm
