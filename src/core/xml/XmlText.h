#pragma once
// Text helpers for feed titles and descriptions: entity decoding and turning
// an HTML fragment into plain text. The tree itself never decodes anything.

#include <string>
#include <string_view>

namespace qgm {

// Replaces "&amp;", "&apos;", "&gt;", "&lt;" and "&quot;", and a numeric
// reference of one to three characters only when its value is 38 ("&").
// A produced character is never decoded again ("&amp;lt;" gives "&lt;").
std::u16string DecodeXmlEntities(std::u16string_view text);

// Plain text from an HTML fragment: carriage returns dropped, runs of spaces
// collapsed, character references and the common named entities replaced,
// "<br>" and "<p>" turned into line feeds (except at the very start) and
// every other tag removed.
std::u16string HtmlToText(std::u16string_view text);

}  // namespace qgm
