#include <cstddef>
#include <cstdint>
#include <string>

#include "core/xml/XmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  const std::u16string out = qgm::HtmlToText(text);
  if (out.size() > text.size()) __builtin_trap();
  if (out.find(u"\r") != std::u16string::npos) __builtin_trap();
  return 0;
}
