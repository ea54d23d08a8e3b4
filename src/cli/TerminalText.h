#pragma once
// What qgm-cli writes for people to read passes one filter: text from
// servers (titles, captions, status lines, error bodies) may hold control
// codes that a terminal would act on (set its title, clear the screen,
// move the cursor). JSON goes out exact: its writer escapes what needs it.

#include <cstdio>
#include <string>
#include <string_view>

namespace qgm::cli {

// UTF-8 text with every control code a space: C0 but line feed, CR LF and
// tab, DEL, and C1 (U+0080..U+009F); bytes that are not UTF-8 (a lone C1
// byte among them) become U+FFFD.
std::string ForTerminal(std::string_view utf8);

// printf to `to`, through ForTerminal.
[[gnu::format(printf, 2, 3)]] void Say(std::FILE* to, const char* format, ...);

// A command's output: JSON as it is, text through ForTerminal.
void WriteOutput(const std::string& out, bool json);

}  // namespace qgm::cli
