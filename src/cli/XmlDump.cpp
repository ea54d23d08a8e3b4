#include "cli/XmlDump.h"

#include <cstdio>

#include "core/util/CodePage.h"

namespace qgm::cli {
namespace {

const char* KindName(TElementKind kind) {
  switch (kind) {
    case TElementKind::etText:
      return "text";
    case TElementKind::etTag:
      return "tag";
    case TElementKind::etCData:
      return "cdata";
    case TElementKind::etComment:
      return "comment";
    case TElementKind::etOther:
      break;
  }
  return "other";
}

void Dump(const TElement& node, int depth, std::string& out) {
  out.append(static_cast<size_t>(depth) * 2, ' ');
  out += KindName(node.Kind());
  out += ' ';
  out += JsonString(node.Name());
  if (node.Kind() == TElementKind::etTag) {
    for (const TAttrib* a = node.FirstAttrib(); a; a = a->Next()) {
      out += ' ';
      out += Utf16ToUtf8(a->Name());
      out += '=';
      out += JsonString(a->Value());
    }
  }
  out += '\n';
  for (const TElement* c = node.FirstChild(); c; c = c->NextSibling()) Dump(*c, depth + 1, out);
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  const std::string utf8 = Utf16ToUtf8(text);
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

std::string DumpXmlTree(const TElement& root) {
  std::string out;
  Dump(root, 0, out);
  return out;
}

std::string JsonStringUtf8(std::string_view text) {
  return JsonString(Utf8ToUtf16(text));
}

}  // namespace qgm::cli
