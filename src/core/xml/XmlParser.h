#pragma once
// A small, forgiving, non-validating XML parser for the provider's replies
// and feeds. One pass, no DTD, no namespaces (a prefix stays part of the
// name), no entity decoding inside the tree: text and attribute values stay
// as they stand in the document. Malformed markup never raises: the build
// stops where the markup goes wrong and the tree keeps every node built up to
// that point. Trees are immutable once built.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qgm {

enum class TElementKind : uint8_t {
  etText = 0,     // character data between tags
  etTag = 1,      // an element with a tag name
  etCData = 2,    // a "<![CDATA[" section; Name is its content
  etComment = 3,  // "<!-- ... -->", delimiters included in Name
  etOther = 4,    // other markup ("<?xml ...?>", DOCTYPE, stray end tags); also the root
};

class TAttrib {
 public:
  std::u16string_view Name() const { return {name_, nameLen_}; }
  // The characters between the quotes, undecoded.
  std::u16string_view Value() const { return {value_, valueLen_}; }
  // The element's next attribute in document order, or nullptr.
  const TAttrib* Next() const { return next_; }

 private:
  template <typename Char>
  friend class XmlBuilder;
  const char16_t* name_ = nullptr;
  const char16_t* value_ = nullptr;
  uint32_t nameLen_ = 0;
  uint32_t valueLen_ = 0;
  const TAttrib* next_ = nullptr;
};

class TElement {
 public:
  TElement() = default;
  TElement(const TElement&) = delete;
  TElement& operator=(const TElement&) = delete;

  const TElement* Parent() const { return parent_; }
  // Position in the parent's children, from 0; 0 for the root.
  int Index() const { return index_; }
  TElementKind Kind() const { return kind_; }
  // Tag name, text, CDATA content, whole comment or whole other markup.
  std::u16string_view Name() const { return {name_, nameLen_}; }

  // Attributes in document order; nullptr when the node has none.
  const TAttrib* FirstAttrib() const { return firstAttrib_; }
  int AttribCount() const { return attribCount_; }

  int ChildCount() const { return childCount_; }
  const TElement* FirstChild() const { return firstChild_; }
  // The child at `index`, or nullptr when out of range.
  const TElement* GetChild(int index) const;
  // The parent's child after this one, of any kind; nullptr for the last
  // child and for the root.
  const TElement* NextSibling() const { return next_; }

  // Lookups by name compare in 8-bit text (Windows-1252) ignoring the case of
  // ASCII letters only. FindChild looks at children of every kind.
  const TElement* FindChild(std::string_view name) const;
  const TElement* FindChild(std::u16string_view name) const;
  const TElement* FindNextSibling(std::string_view name) const;
  const TElement* FindNextSibling(std::u16string_view name) const;
  const TAttrib* FindAttrib(std::string_view name) const;
  const TAttrib* FindAttrib(std::u16string_view name) const;

  // The inner text: text and CDATA children as they stand, element children's
  // inner text joined with one space when both sides are non-empty; comments
  // and other markup contribute nothing.
  std::u16string GetText() const;

 private:
  template <typename Char>
  friend class XmlBuilder;
  void AppendText(std::u16string& out) const;

  TElement* parent_ = nullptr;
  const char16_t* name_ = nullptr;
  const TAttrib* firstAttrib_ = nullptr;
  TElement* firstChild_ = nullptr;
  TElement* lastChild_ = nullptr;
  TElement* next_ = nullptr;
  uint32_t nameLen_ = 0;
  int32_t index_ = 0;
  int32_t childCount_ = 0;
  uint16_t attribCount_ = 0;
  TElementKind kind_ = TElementKind::etText;
};

// The root of a parsed document (Kind etOther, empty Name, no parent). It
// owns a copy of the document and every node, so the caller's text may go
// away once the build returns; freeing the root frees the whole tree.
class TXmlTree : public TElement {
 public:
  TXmlTree();
  ~TXmlTree();

 private:
  template <typename Char>
  friend class XmlBuilder;
  std::unique_ptr<char16_t[]> text_;  // the document, then zero sentinels
  size_t textSize_ = 0;
  // Nodes and attributes live in fixed-size chunks, small enough for the
  // allocator to reuse them between builds instead of mapping fresh pages.
  std::vector<std::unique_ptr<std::byte[]>> chunks_;
};

// Elements nested deeper than this end the build like malformed markup, so a
// hostile document cannot exhaust the stack.
constexpr int kMaxXmlDepth = 1000;

// Throws std::invalid_argument("BuildXmlTree - No document specified") for
// an empty text; nothing else raises.
std::unique_ptr<TXmlTree> BuildXmlTree(std::u16string_view text);
// The same for 8-bit text, widened byte by byte through Windows-1252.
std::unique_ptr<TXmlTree> BuildXmlTree1252(std::string_view bytes);

// The functions below accept nullptr as their start node and then give
// nullptr or an empty string.

// Descends by FindChild for each name in turn; nullptr as soon as one step
// finds nothing; an empty list gives `start`.
const TElement* FindPath(const TElement* start, std::initializer_list<std::string_view> names);
// GetText of the node FindPath reaches, as 8-bit text; empty when there is
// no such node.
std::string GetPathText(const TElement* start, std::initializer_list<std::string_view> names);
// Looks at `start` and then its next siblings for the first node with an
// attribute `attrName` whose value equals `attrValue` exactly (an empty
// `attrValue` accepts any value).
const TElement* FindWithAttrib(const TElement* start, std::string_view attrName,
                               std::u16string_view attrValue);
const TElement* FindWithAttrib(const TElement* start, std::string_view attrName,
                               std::string_view attrValue);
// The same walk; both attributes must have exactly the given values.
const TElement* FindWithAttribs(const TElement* start, std::string_view attrName1,
                                std::u16string_view attrValue1, std::string_view attrName2,
                                std::u16string_view attrValue2);
const TElement* FindWithAttribs(const TElement* start, std::string_view attrName1,
                                std::string_view attrValue1, std::string_view attrName2,
                                std::string_view attrValue2);

}  // namespace qgm
