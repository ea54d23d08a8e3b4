// The tree build on arbitrary bytes (widened as replies are), then every
// lookup over the whole tree.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/xml/XmlParser.h"

namespace {

size_t Walk(const qgm::TElement* node) {
  size_t n = node->GetText().size() + static_cast<size_t>(node->AttribCount());
  if (node->FindChild("usage")) ++n;
  if (node->FindAttrib("day")) ++n;
  if (qgm::FindWithAttribs(node->FirstChild(), "direction", "up", "name", "metered")) ++n;
  for (const qgm::TElement* c = node->FirstChild(); c; c = c->NextSibling()) {
    if (c->Parent() != node || node->GetChild(c->Index()) != c) __builtin_trap();
    n += Walk(c);
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto tree = qgm::BuildXmlTree1252(bytes);
  volatile size_t sink = Walk(tree.get());
  (void)sink;
  (void)qgm::GetPathText(tree.get(), {"corvalink", "api", "usagelist", "usage"});
  return 0;
}
