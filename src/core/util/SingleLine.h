#pragma once
// Text that must stay one line: a password, a user or mailbox name, a proxy
// address, a phone number. Sent inside a protocol command or header, a CR
// or LF would end the command early and make the rest a command of its
// own; a NUL cuts it short.

#include <string>
#include <string_view>

namespace qgm {

// Whether `text` holds a CR, an LF or a NUL.
bool HoldsLineBreak(std::string_view text);
bool HoldsLineBreak(std::u16string_view text);

// "The password holds a line break." (or "... a NUL character."), naming
// the first such character found in `text`; "" when there is none.
std::string LineBreakProblem(std::string_view text, const std::string& what);
std::string LineBreakProblem(std::u16string_view text, const std::string& what);

// A one-line field's text as typed or pasted: the line breaks at its end
// (what copying a whole line brings along) are dropped; any other CR, LF
// or NUL leaves `Problem` saying so, and the text is refused.
struct TOneLineField {
  std::u16string Text;  // the text to keep; the input unchanged when refused
  std::string Problem;  // "" when the text is kept
};
TOneLineField CheckOneLineField(std::u16string_view text, const std::string& what);

}  // namespace qgm
