#pragma once
// Conversions between the program's 8-bit text (Windows-1252) and the
// 16-bit text the XML parser works on, plus UTF-8 for display and JSON.

#include <string>
#include <string_view>

namespace qgm {

// The UTF-16 code unit of one Windows-1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the same code, as
// Windows does.
char16_t Char1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of one UTF-16 code unit, or '?' when the code page has
// no such character. U+0080..U+009F map to the bytes of the same value (the
// Windows best-fit rule), so a code stored without a code-page step survives.
unsigned char UnicodeToChar1252(char16_t ch);

std::u16string Widen1252(std::string_view text);
std::string Narrow1252(std::u16string_view text);

std::string Utf16ToUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// Windows-1252 straight to UTF-8 and back (unmappable characters become '?').
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);

// Text given to a program (an argument, an environment variable, a line on
// standard input): UTF-8 in a UTF-8 session, converted; bytes that are not
// UTF-8 (a session in the 8-bit code page) taken as they stand, so a
// password typed either way reaches the server as the program holds it.
std::string ArgumentTo1252(std::string_view text);

}  // namespace qgm
