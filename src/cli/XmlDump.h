#pragma once

#include <string>

#include "core/xml/XmlParser.h"

namespace qgm::cli {

// One line per node, two spaces of indent per depth: the kind, the Name as a
// JSON string and, for a tag, each attribute as name=JSON string.
std::string DumpXmlTree(const TElement& root);

// A UTF-8 JSON string literal for 16-bit text.
std::string JsonString(std::u16string_view text);
// The same for UTF-8 text.
std::string JsonStringUtf8(std::string_view text);

}  // namespace qgm::cli
