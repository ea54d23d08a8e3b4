#include "core/xml/XmlParser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "core/util/CodePage.h"
#include "core/util/CpuFeatures.h"
#include "core/util/Text.h"

namespace qgm {
namespace {

// Zero characters kept after the document so the parser may look a few
// characters past the last one without a bounds check.
constexpr size_t kSentinels = 8;
constexpr size_t kChunkBytes = 32 * 1024;

// Character classes of the markup. Every class is ASCII, and Windows-1252
// widens ASCII to itself and every other byte to a character above U+007F,
// so the classes of a byte and of its widened character are the same: 8-bit
// documents are scanned as bytes.
constexpr uint8_t kWhite = 1;   // U+0000..U+0020
constexpr uint8_t kName = 2;    // letters, digits, "_", "-", "." and ":"
constexpr uint8_t kLetter = 4;  // ASCII letters
constexpr std::array<uint8_t, 256> kClasses = [] {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 128; ++c) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    uint8_t k = 0;
    if (c <= 32) k |= kWhite;
    if (letter || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ':')
      k |= kName;
    if (letter) k |= kLetter;
    t[static_cast<size_t>(c)] = k;
  }
  return t;
}();

inline uint8_t ClassOf(unsigned char c) {
  return kClasses[c];
}
inline uint8_t ClassOf(char16_t c) {
  return c < 128 ? kClasses[c] : 0;
}

// Bytes are scanned eight at a time where eight remain before the bound:
// a word's bytes in memory order, and a per-byte test whose top bits mark
// the hits exactly (no carry crosses from one byte into the next).
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kTop = 0x8080808080808080ull;

inline uint64_t LoadWord(const unsigned char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}
inline int64_t FirstMarked(uint64_t marks) {
  return std::countr_zero(marks) / 8;
}

// The first position from `p` to before `end` holding `c`, or `end`.
inline int64_t FindChar(const unsigned char* s, int64_t p, int64_t end, char16_t c) {
#if defined(__SSE2__)
  // Sixteen bytes a time: a value or a figure between tags is found in one
  // step, with no branch per byte to mispredict at its end.
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(c));
  for (; p + 16 <= end; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
    if (const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted)))
      return p + std::countr_zero(static_cast<unsigned>(hits));
  }
#endif
  while (p < end && s[p] != c) ++p;
  return p < end ? p : end;
}
inline int64_t FindChar(const char16_t* s, int64_t p, int64_t end, char16_t c) {
  while (p < end && s[p] != c) ++p;
  return p;
}

// The first position from `p` to before `end` holding no whitespace, or
// `end`. A byte is no whitespace when it is above 0x20, which sets the top
// bit of (low seven bits + 0x5F) or of the byte itself.
inline int64_t SkipWhiteFrom(const unsigned char* s, int64_t p, int64_t end) {
  // The usual cases: nothing to skip, or one space between attributes.
  if (p < end && s[p] > 32) return p;
  if (p + 1 < end && s[p + 1] > 32) return p + 1;
  constexpr uint64_t kAbove32 = 0x5F5F5F5F5F5F5F5Full;
  for (; p + 8 <= end; p += 8) {
    const uint64_t w = LoadWord(s + p);
    if (const uint64_t solid = (((w & kLow7) + kAbove32) | w) & kTop) return p + FirstMarked(solid);
  }
  while (p < end && s[p] <= 32) ++p;
  return p < end ? p : end;
}
inline int64_t SkipWhiteFrom(const char16_t* s, int64_t p, int64_t end) {
  while (p < end && s[p] <= 32) ++p;
  return p;
}

#if defined(__SSE2__)
// The name characters among the 16 bytes from `p`, one bit each, the
// classes computed from byte ranges: letters (either case), "-" to ":"
// without "/" (digits, "-", "." and ":"), and "_". Bytes from 0x80 compare
// as negative and fall in no range.
inline int NameBytes16(const unsigned char* p) {
  const auto in = [](__m128i v, char lo, char hi) {
    return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(lo - 1))),
                         _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(hi + 1))));
  };
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i letter = in(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 'z');
  const __m128i punct = _mm_andnot_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('/')), in(v, '-', ':'));
  const __m128i under = _mm_cmpeq_epi8(v, _mm_set1_epi8('_'));
  return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, punct), under));
}

inline int Bytes16(const unsigned char* p, char c) {
  return _mm_movemask_epi8(
      _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8(c)));
}
#endif

// The name characters and double quotes among the 64 bytes from `base`,
// one bit per byte, for a tag's name and attributes to be read from (with
// SSE2 only: without it there is no window, and tags are read the general
// way).
struct TTagWindow {
  int64_t base = INT64_MIN / 4;  // none yet
  uint64_t names = 0;
  uint64_t quotes = 0;
};

inline TTagWindow TagWindowAt([[maybe_unused]] const unsigned char* s, int64_t base) {
  TTagWindow w;
#if defined(__SSE2__)
  w.base = base;
  const unsigned char* p = s + base;
  const auto bits = [](int low, int high) {
    return static_cast<uint32_t>(low) | static_cast<uint32_t>(high) << 16;
  };
  w.names = bits(NameBytes16(p), NameBytes16(p + 16)) |
            static_cast<uint64_t>(bits(NameBytes16(p + 32), NameBytes16(p + 48))) << 32;
  w.quotes = bits(Bytes16(p, '"'), Bytes16(p + 16, '"')) |
             static_cast<uint64_t>(bits(Bytes16(p + 32, '"'), Bytes16(p + 48, '"'))) << 32;
#endif
  return w;
}

// The first position from `p` to before `end` holding no name character, or
// `end`.
inline int64_t SkipNameFrom(const unsigned char* s, int64_t p, int64_t end) {
#if defined(__SSE2__)
  // Sixteen bytes a time.
  for (; p + 16 <= end; p += 16) {
    const int name = NameBytes16(s + p);
    if (name != 0xFFFF) return p + std::countr_one(static_cast<unsigned>(name));
  }
#endif
  while (p < end && (kClasses[s[p]] & kName)) ++p;
  return p;
}
inline int64_t SkipNameFrom(const char16_t* s, int64_t p, int64_t end) {
  while (p < end && (ClassOf(s[p]) & kName)) ++p;
  return p;
}

// Widens Windows-1252 bytes into `out`. Blocks of plain ASCII (the usual
// case) widen without a table lookup.
void Widen1252Into(const unsigned char* in, size_t n, char16_t* out) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if (_mm_movemask_epi8(v) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
    } else {
      for (size_t k = 0; k < 16; ++k) out[i + k] = Char1252ToUnicode(in[i + k]);
    }
  }
#endif
  for (; i < n; ++i) out[i] = Char1252ToUnicode(in[i]);
}

char Lower1252(char16_t c) {
  unsigned char b = UnicodeToChar1252(c);
  if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
  return static_cast<char>(b);
}

bool SameName(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower1252(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower1252(a[i]) != Lower1252(b[i])) return false;
  }
  return true;
}

template <typename Name>
const TElement* FindFrom(const TElement* node, Name name) {
  for (; node; node = node->NextSibling()) {
    if (SameName(node->Name(), name)) return node;
  }
  return nullptr;
}

template <typename Name>
const TAttrib* FindAttribIn(const TAttrib* a, Name name) {
  for (; a; a = a->Next()) {
    if (SameName(a->Name(), name)) return a;
  }
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Tree construction. The builder scans `s_` (the caller's bytes for an 8-bit
// document, the tree's copy for a 16-bit one); nodes point into the tree's
// 16-bit copy `w_` at the same positions. Positions: `tokenStart_` where the
// token being read begins, `cur_` the scan position, `last_` the index of the
// final character (an inclusive bound). The scan never reads past `last_`.

template <typename Char>
class XmlBuilder {
 public:
  XmlBuilder(TXmlTree& tree, const Char* scan) : tree_(tree), s_(scan), w_(tree.text_.get()) {
    last_ = static_cast<int64_t>(tree.textSize_) - 1;
  }

  // Room for a document of `size` characters plus the sentinels.
  static char16_t* Reserve(TXmlTree& tree, size_t size) {
    tree.text_.reset(new char16_t[size + kSentinels]);
    tree.textSize_ = size;
    std::fill_n(tree.text_.get() + size, kSentinels, u'\0');
    return tree.text_.get();
  }

  // One loop over the document with the open elements as a chain of
  // parents. Whatever ends an element's content early (markup that goes
  // wrong, an end tag of another name, the end of the text) ends the build.
  void Build() {
    // The loop runs on a copy whose address never leaves this function,
    // so the compiler keeps the scan positions in registers instead of
    // storing and reloading them around every node it writes.
    XmlBuilder local(*this);
    local.Run();
  }

 private:
  [[gnu::always_inline]] void Run() {
    tree_.kind_ = TElementKind::etOther;
    TElement* parent = &tree_;
    int depth = 1;  // of the next child
    while (true) {
      if (parent == &tree_) {
        if (cur_ >= last_) return;
      } else {
        if (cur_ >= last_ - 2) return;
        if (s_[cur_] == '<' && s_[cur_ + 1] == '/') {
          cur_ += 2;
          if (!ReadEndTag(parent)) return;
          parent = parent->parent_;
          --depth;
          if (parent != &tree_ && !Skip()) return;
          continue;
        }
      }
      TElement* node = AddChild(parent);
      if (ParseNode(node, depth)) {
        parent = node;
        ++depth;
        continue;
      }
      if (parent != &tree_ && !Skip()) return;
    }
  }

  [[gnu::always_inline]] void Abort() { cur_ = last_; }
  [[gnu::always_inline]] bool Fail() {
    Abort();
    return false;
  }

  template <typename T>
  [[gnu::always_inline]] T* Allocate() {
    static_assert(std::is_trivially_destructible_v<T>, "chunks are freed without destructors");
    static_assert(alignof(T) <= alignof(std::max_align_t));
    constexpr size_t kSize =
        (sizeof(T) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
    if (static_cast<size_t>(limit_ - free_) < kSize) {
      free_ = NewChunk(tree_);
      limit_ = free_ + kChunkBytes;
    }
    T* item = new (free_) T();
    free_ += kSize;
    return item;
  }

  // Out of line and without the builder, whose state then stays in
  // registers through the build loop.
  [[gnu::noinline]] static std::byte* NewChunk(TXmlTree& tree) {
    tree.chunks_.emplace_back(new std::byte[kChunkBytes]);
    return tree.chunks_.back().get();
  }

  [[gnu::always_inline]] TElement* AddChild(TElement* parent) {
    TElement* node = Allocate<TElement>();
    node->parent_ = parent;
    node->index_ = parent->childCount_++;
    if (parent->lastChild_) {
      parent->lastChild_->next_ = node;
    } else {
      parent->firstChild_ = node;
    }
    parent->lastChild_ = node;
    return node;
  }

  [[gnu::always_inline]] void AddAttrib(TElement* node, int64_t nameStart, int64_t nameLen,
                                        int64_t valueStart, int64_t valueLen) {
    TAttrib* a = Allocate<TAttrib>();
    a->name_ = w_ + nameStart;
    a->nameLen_ = static_cast<uint32_t>(nameLen);
    a->value_ = w_ + valueStart;
    a->valueLen_ = static_cast<uint32_t>(valueLen);
    // Attributes of one element are appended one after the other, so the
    // previous one (if any) is the element's last.
    if (node->attribCount_ == 0) {
      node->firstAttrib_ = a;
    } else {
      lastAttrib_->next_ = a;
    }
    lastAttrib_ = a;
    if (node->attribCount_ < UINT16_MAX) ++node->attribCount_;
  }

  [[gnu::always_inline]] void SetName(TElement* node, int64_t start, int64_t end) {
    node->name_ = w_ + start;
    node->nameLen_ = static_cast<uint32_t>(end - start);
  }

  [[gnu::always_inline]] bool Is(int64_t pos, uint8_t cls) const {
    return (ClassOf(s_[pos]) & cls) != 0;
  }

  // Skips whitespace, never past the last character; reports whether the
  // scan position is still before the last character.
  [[gnu::always_inline]] bool Skip() {
    if (cur_ < last_) cur_ = SkipWhiteFrom(s_, cur_, last_);
    if (cur_ < last_) {
      tokenStart_ = cur_;
      return true;
    }
    return false;
  }

  // A name: an ASCII letter, then letters, digits, "_", "-", "." and ":".
  // Empty when the first character is no letter (nothing consumed beyond the
  // whitespace) or when the run reaches the last character.
  [[gnu::always_inline]] bool ReadName(int64_t& start, int64_t& len) {
    len = 0;
    if (!Skip()) return false;
    if (!Is(cur_, kLetter)) return false;
    const int64_t p = SkipNameFrom(s_, cur_ + 1, last_);
    if (p >= last_) {
      cur_ = p;
      return false;
    }
    start = cur_;
    len = p - cur_;
    cur_ = tokenStart_ = p;
    return true;
  }

  // A value in apostrophes or double quotes; empty (nothing consumed) when
  // no quote opens it, empty with the scan at the end when none closes it.
  [[gnu::always_inline]] void ReadQuoted(int64_t& start, int64_t& len) {
    start = cur_;
    len = 0;
    Skip();
    const char16_t q = s_[cur_];
    if (q != '\'' && q != '"') return;
    const int64_t p = FindChar(s_, cur_ + 1, last_, q);
    if (p >= last_) {
      cur_ = last_;
      return;
    }
    start = cur_ + 1;
    len = p - start;
    cur_ = tokenStart_ = p + 1;
  }

  // Reads one node; true for an element whose content follows.
  [[gnu::always_inline]] bool ParseNode(TElement* node, int depth) {
    cur_ = tokenStart_;
    if (cur_ < last_) cur_ = SkipWhiteFrom(s_, cur_, last_);
    tokenStart_ = cur_;
    if (cur_ > last_ - 4) {  // fewer than five characters left
      cur_ = last_;
      return false;
    }
    if (depth > kMaxXmlDepth) {
      Abort();
      return false;
    }

    const char16_t c0 = s_[cur_];
    const char16_t c1 = s_[cur_ + 1];
    if (c0 != '<') {
      node->kind_ = TElementKind::etText;
      cur_ = FindChar(s_, cur_, last_, u'<');
      SetName(node, tokenStart_, cur_);
      tokenStart_ = cur_;
    } else if (c1 == '!') {
      const char16_t c2 = s_[cur_ + 2];
      if (c2 == '[') {
        node->kind_ = TElementKind::etCData;
        ParseCData(node);
        return false;
      }
      if (c2 == '-') {
        node->kind_ = TElementKind::etComment;
        ParseComment(node);
      } else {
        node->kind_ = TElementKind::etOther;
        ParseOther(node);
      }
    } else if (Is(cur_ + 1, kLetter)) {
      node->kind_ = TElementKind::etTag;
      return ParseTag(node);
    } else {
      node->kind_ = TElementKind::etOther;
      ParseOther(node);
    }
    if (node->nameLen_ == 0) Abort();
    return false;
  }

  bool Remaining(int64_t count) const { return last_ - tokenStart_ + 1 >= count; }

  bool At(int64_t pos, std::u16string_view word) const {
    for (size_t i = 0; i < word.size(); ++i) {
      if (s_[pos + static_cast<int64_t>(i)] != word[i]) return false;
    }
    return true;
  }

  void ParseCData(TElement* node) {
    // A "<![" that is not a CDATA section, or one that starts too close to the
    // end to hold its terminator, would consume nothing and leave the scan
    // where it is; it ends the build like other malformed markup instead.
    if (!Remaining(14) || !At(tokenStart_, u"<![CDATA[")) return Abort();
    for (int64_t p = tokenStart_; p < last_ - 3; ++p) {
      if (s_[p] == ']' && s_[p + 1] == ']' && s_[p + 2] == '>') {
        SetName(node, tokenStart_ + 9, p);
        cur_ = tokenStart_ = p + 3;
        return;  // an empty section is not an error
      }
    }
    // No terminator: the scan is left three characters before the end, so
    // the next node finds too little text and the build ends there. The token
    // start moves too, or the next node would read this section again.
    cur_ = tokenStart_ = last_ - 3;
  }

  void ParseComment(TElement* node) {
    if (!Remaining(14) || !At(tokenStart_, u"<!--")) return;
    for (int64_t p = tokenStart_ + 4; p < last_ - 3; ++p) {
      if (s_[p] == '-' && s_[p + 1] == '-' && s_[p + 2] == '>') {
        SetName(node, tokenStart_, p + 3);
        cur_ = tokenStart_ = p + 3;
        return;
      }
    }
  }

  void ParseOther(TElement* node) {
    const int64_t p = FindChar(s_, tokenStart_ + 1, last_ - 1, u'>');
    if (p < last_ - 1) {
      SetName(node, tokenStart_, p + 1);
      cur_ = tokenStart_ = p + 1;
    }
  }

  // True when the element has content to read.
  [[gnu::always_inline]] bool ParseTag(TElement* node) {
    ++cur_;  // past "<"
    int64_t start = 0, len = 0;
    TTagWindow window;
    bool named = false;
#if defined(__SSE2__)
    if constexpr (sizeof(Char) == 1) {
      // The usual tag: its name right after the "<", read from the bits of
      // a window which its attributes are then read from too.
      if (cur_ + 64 < last_ && Is(cur_, kLetter)) {
        window = TagWindowAt(s_, cur_);
        const int run = std::countr_one(window.names);
        if (run < 63) {
          start = cur_;
          len = run;
          cur_ = tokenStart_ = cur_ + run;
          named = true;
        }
      }
    }
#endif
    if (!named && !ReadName(start, len)) return Fail();
    SetName(node, start, start + len);
    const char16_t after = s_[cur_];
    if (!Is(cur_, kWhite) && after != '/' && after != '>') return Fail();

    int64_t nameStart, nameLen;
    while (true) {
      if constexpr (sizeof(Char) == 1) {
        if (ReadUsualAttrib(node, window)) continue;
      }
      if (!ReadName(nameStart, nameLen)) break;
      // The usual shape, name="value" with nothing around the "=", read in
      // one step; anything else goes the general way below, which reads
      // this shape the same.
      if (s_[cur_] == '=' && cur_ + 1 < last_) {
        const char16_t q = s_[cur_ + 1];
        if (q == '"' || q == '\'') {
          const int64_t p = FindChar(s_, cur_ + 2, last_, q);
          if (p < last_) {
            AddAttrib(node, nameStart, nameLen, cur_ + 2, p - (cur_ + 2));
            cur_ = tokenStart_ = p + 1;
            continue;
          }
        }
      }
      if (!Skip() || s_[cur_] != '=') return Fail();
      ++cur_;
      if (!Skip()) return Fail();
      int64_t valueStart, valueLen;
      ReadQuoted(valueStart, valueLen);
      // Stored even when the value was missing or unquoted; the scan then
      // goes on from the unconsumed character.
      AddAttrib(node, nameStart, nameLen, valueStart, valueLen);
    }

    if (s_[cur_] == '/' && cur_ < last_ - 1 && s_[cur_ + 1] == '>') {
      cur_ += 2;
      Skip();
      tokenStart_ = cur_;
      return false;
    }
    if (s_[cur_] != '>') return Fail();
    ++cur_;
    Skip();
    if (cur_ >= last_) return false;  // content runs to the end: done, no children
    if (cur_ > last_ - 2) return Fail();
    return true;
  }

  // The usual attribute, name="value" with nothing around the "=", read
  // from the bits of the tag's window (a new one when the name starts past
  // its first half): the name's end and the closing quote are found at once,
  // not the one after reading the other. False, and nothing consumed but
  // whitespace, for any other attribute, which ReadName and the loop below
  // read as before.
  [[gnu::always_inline]] bool ReadUsualAttrib(TElement* node, TTagWindow& window) {
    if (!Skip()) return false;
    const int64_t start = cur_;
    if (!Is(start, kLetter)) return false;
    int64_t rel = start - window.base;
    if (rel < 0 || rel > 32) {
      if (start + 64 >= last_) return false;
      window = TagWindowAt(s_, start);
      rel = 0;
    }
    const int nameLen = std::countr_one(window.names >> rel);
    if (rel + nameLen + 2 >= 64) return false;
    const int64_t equals = start + nameLen;
    if (s_[equals] != '=' || s_[equals + 1] != '"') return false;
    const uint64_t after = window.quotes >> (rel + nameLen + 2);
    const int64_t close =
        after ? equals + 2 + std::countr_zero(after) : FindChar(s_, window.base + 64, last_, u'"');
    if (close >= last_) return false;
    AddAttrib(node, start, nameLen, equals + 2, close - (equals + 2));
    cur_ = tokenStart_ = close + 1;
    return true;
  }

  // Whether the name at the scan position is the element's own, as ReadName
  // would read it; the scan then moves past it. Only short names are
  // compared (a word at a time); for the others ReadName decides.
  [[gnu::always_inline]] bool RepeatsName(const TElement* node) {
    if constexpr (sizeof(Char) != 1) {
      return false;
    } else {
      const int64_t len = node->nameLen_;
      const int64_t own = node->name_ - w_;
      if (len > 8 || cur_ + len >= last_ || cur_ + 8 > last_ + 1 || own + 8 > last_ + 1)
        return false;
      const uint64_t mask = len == 8 ? ~0ull : (1ull << (8 * len)) - 1;
      if (((LoadWord(s_ + cur_) ^ LoadWord(s_ + own)) & mask) != 0 || Is(cur_ + len, kName))
        return false;
      cur_ = tokenStart_ = cur_ + len;
      return true;
    }
  }

  [[gnu::always_inline]] bool ReadEndTag(const TElement* node) {
    bool ok = false;
    int64_t start, len;
    if (Skip() && (RepeatsName(node) ||
                   (ReadName(start, len) &&
                    std::u16string_view(w_ + start, static_cast<size_t>(len)) == node->Name()))) {
      ok = Skip() && s_[cur_] == '>';
    }
    ++cur_;
    Skip();
    tokenStart_ = cur_;
    return ok;
  }

  TXmlTree& tree_;
  const Char* s_;
  const char16_t* w_;
  int64_t tokenStart_ = 0;
  int64_t cur_ = 0;
  int64_t last_ = 0;
  TAttrib* lastAttrib_ = nullptr;
  std::byte* free_ = nullptr;  // the unused rest of the newest chunk
  std::byte* limit_ = nullptr;
};

TXmlTree::TXmlTree() = default;
TXmlTree::~TXmlTree() = default;

std::unique_ptr<TXmlTree> BuildXmlTree(std::u16string_view text) {
  if (text.empty()) throw std::invalid_argument("BuildXmlTree - No document specified");
  auto tree = std::make_unique<TXmlTree>();
  char16_t* copy = XmlBuilder<char16_t>::Reserve(*tree, text.size());
  text.copy(copy, text.size());
  XmlBuilder<char16_t>(*tree, copy).Build();
  return tree;
}

namespace {

void Build1252(TXmlTree& tree, const unsigned char* in, size_t n) {
  Widen1252Into(in, n, XmlBuilder<unsigned char>::Reserve(tree, n));
  XmlBuilder<unsigned char>(tree, in).Build();
}

#if QGM_WIDE_PATHS
// Plain ASCII thirty-two bytes a time; any other block, and what is left,
// the plain way.
[[gnu::target("avx2")]] void Widen1252IntoWide(const unsigned char* in, size_t n, char16_t* out) {
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    if (_mm256_movemask_epi8(v) == 0) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                          _mm256_cvtepu8_epi16(_mm256_castsi256_si128(v)));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 16),
                          _mm256_cvtepu8_epi16(_mm256_extracti128_si256(v, 1)));
    } else {
      Widen1252Into(in + i, 32, out + i);
    }
  }
  Widen1252Into(in + i, n - i, out + i);
}

// The same build with everything it calls built for AVX2 and BMI2.
[[QGM_WIDE_TARGET, gnu::flatten]] void Build1252Wide(TXmlTree& tree, const unsigned char* in,
                                                     size_t n) {
  Widen1252IntoWide(in, n, XmlBuilder<unsigned char>::Reserve(tree, n));
  XmlBuilder<unsigned char>(tree, in).Build();
}
#endif

}  // namespace

std::unique_ptr<TXmlTree> BuildXmlTree1252(std::string_view bytes) {
  if (bytes.empty()) throw std::invalid_argument("BuildXmlTree - No document specified");
  auto tree = std::make_unique<TXmlTree>();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
#if QGM_WIDE_PATHS
  if (UseWidePaths()) {
    Build1252Wide(*tree, in, bytes.size());
    return tree;
  }
#endif
  Build1252(*tree, in, bytes.size());
  return tree;
}

// ---------------------------------------------------------------------------
// Lookups

const TElement* TElement::GetChild(int index) const {
  if (index < 0 || index >= childCount_) return nullptr;
  const TElement* c = firstChild_;
  while (index-- > 0) c = c->next_;
  return c;
}

const TElement* TElement::FindChild(std::string_view name) const {
  return FindFrom(firstChild_, name);
}
const TElement* TElement::FindChild(std::u16string_view name) const {
  return FindFrom(firstChild_, name);
}
const TElement* TElement::FindNextSibling(std::string_view name) const {
  return FindFrom(next_, name);
}
const TElement* TElement::FindNextSibling(std::u16string_view name) const {
  return FindFrom(next_, name);
}
const TAttrib* TElement::FindAttrib(std::string_view name) const {
  return FindAttribIn(firstAttrib_, name);
}
const TAttrib* TElement::FindAttrib(std::u16string_view name) const {
  return FindAttribIn(firstAttrib_, name);
}

void TElement::AppendText(std::u16string& out) const {
  const size_t start = out.size();
  for (const TElement* c = firstChild_; c; c = c->next_) {
    switch (c->kind_) {
      case TElementKind::etText:
      case TElementKind::etCData:
        out.append(c->Name());
        break;
      case TElementKind::etTag: {
        // One space between this node's text so far and the child's text,
        // only when both are non-empty.
        const bool spaced = out.size() > start;
        if (spaced) out += u' ';
        const size_t before = out.size();
        c->AppendText(out);
        if (spaced && out.size() == before) out.pop_back();
        break;
      }
      default:
        break;
    }
  }
}

std::u16string TElement::GetText() const {
  std::u16string out;
  AppendText(out);
  return out;
}

const TElement* FindPath(const TElement* start, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    if (!start) return nullptr;
    start = start->FindChild(name);
  }
  return start;
}

std::string GetPathText(const TElement* start, std::initializer_list<std::string_view> names) {
  const TElement* node = FindPath(start, names);
  return node ? Narrow1252(node->GetText()) : std::string();
}

namespace {

bool HasAttribValue(const TElement* node, std::string_view name, std::u16string_view value) {
  const TAttrib* a = node->FindAttrib(name);
  return a && (value.empty() || a->Value() == value);
}

}  // namespace

const TElement* FindWithAttrib(const TElement* start, std::string_view attrName,
                               std::u16string_view attrValue) {
  for (; start; start = start->NextSibling()) {
    if (HasAttribValue(start, attrName, attrValue)) return start;
  }
  return nullptr;
}

const TElement* FindWithAttrib(const TElement* start, std::string_view attrName,
                               std::string_view attrValue) {
  return FindWithAttrib(start, attrName, std::u16string_view(Widen1252(attrValue)));
}

const TElement* FindWithAttribs(const TElement* start, std::string_view attrName1,
                                std::u16string_view attrValue1, std::string_view attrName2,
                                std::u16string_view attrValue2) {
  for (; start; start = start->NextSibling()) {
    const TAttrib* a1 = start->FindAttrib(attrName1);
    const TAttrib* a2 = start->FindAttrib(attrName2);
    if (a1 && a2 && a1->Value() == attrValue1 && a2->Value() == attrValue2) return start;
  }
  return nullptr;
}

const TElement* FindWithAttribs(const TElement* start, std::string_view attrName1,
                                std::string_view attrValue1, std::string_view attrName2,
                                std::string_view attrValue2) {
  const std::u16string v1 = Widen1252(attrValue1);
  const std::u16string v2 = Widen1252(attrValue2);
  return FindWithAttribs(start, attrName1, std::u16string_view(v1), attrName2,
                         std::u16string_view(v2));
}

}  // namespace qgm
