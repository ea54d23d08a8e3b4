#include "core/platform/HiveFile.h"

#include <cstdio>
#include <vector>

namespace qgm {
namespace {

constexpr const char* kHeader = "REGEDIT4";
constexpr size_t kMaxDepth = 512;

struct RootName {
  const char* name;
  TRootKey root;
};
constexpr RootName kRoots[] = {{"HKEY_CURRENT_USER", TRootKey::HKEY_CURRENT_USER},
                               {"HKEY_CLASSES_ROOT", TRootKey::HKEY_CLASSES_ROOT}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits the text into logical lines: CR LF, LF or CR ends a line, and a
// hex value continued with a trailing backslash is joined with the next.
std::vector<std::pair<size_t, std::string>> LogicalLines(std::string_view text) {
  std::vector<std::pair<size_t, std::string>> lines;
  std::string current;
  size_t lineNo = 0, startLine = 1;
  bool continuing = false;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    ++lineNo;
    if (continuing) {
      while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) raw.remove_prefix(1);
    } else {
      current.clear();
      startLine = lineNo;
    }
    current.append(raw);
    continuing = !current.empty() && current.back() == '\\' &&
                 current.find("=hex") != std::string::npos && current.front() != '[';
    if (continuing) current.pop_back();
    if (!continuing) lines.emplace_back(startLine, current);
    if (end >= text.size()) break;
    pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  if (continuing) lines.emplace_back(startLine, current);
  return lines;
}

bool ParseHex(std::string_view s, std::string& out) {
  out.clear();
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (s.empty()) return true;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i + 1 >= s.size()) return false;
    const int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i == s.size()) break;
    if (s[i] != ',') return false;
    ++i;
    if (i == s.size()) return false;
  }
  return true;
}

// A quoted string starting at s[0] == '"'; sets `consumed` past the quote.
bool ParseQuoted(std::string_view s, std::string& out, size_t& consumed) {
  out.clear();
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      out += s[++i];
    } else if (s[i] == '"') {
      consumed = i + 1;
      return true;
    } else {
      out += s[i];
    }
  }
  return false;
}

bool ParseValue(std::string_view data, TRegValue& v, bool& deletion) {
  deletion = false;
  if (data == "-") {
    deletion = true;
    return true;
  }
  if (!data.empty() && data[0] == '"') {
    size_t used = 0;
    if (!ParseQuoted(data, v.Data, used) || used != data.size()) return false;
    v.Type = TRegValue::kString;
    return true;
  }
  if (data.substr(0, 6) == "dword:") {
    const std::string_view digits = data.substr(6);
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t n = 0;
    for (char c : digits) {
      const int d = HexDigit(c);
      if (d < 0) return false;
      n = n * 16 + static_cast<uint32_t>(d);
    }
    v.Type = TRegValue::kDword;
    v.Dword = n;
    return true;
  }
  if (data.substr(0, 3) == "hex") {
    std::string_view rest = data.substr(3);
    uint32_t type = TRegValue::kBinary;
    if (!rest.empty() && rest[0] == '(') {
      const size_t close = rest.find(')');
      if (close == std::string_view::npos || close == 1 || close > 9) return false;
      type = 0;
      for (char c : rest.substr(1, close - 1)) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        type = type * 16 + static_cast<uint32_t>(d);
      }
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest[0] != ':') return false;
    if (!ParseHex(rest.substr(1), v.Data)) return false;
    v.Type = type;
    // Text types keep their terminating zero in the file, not in the value.
    if ((type == TRegValue::kString || type == TRegValue::kExpandString) && !v.Data.empty() &&
        v.Data.back() == '\0') {
      v.Data.pop_back();
    }
    return true;
  }
  return false;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

void AppendHex(std::string& out, size_t prefixLength, const std::string& bytes) {
  size_t lineLength = prefixLength;
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
    out += buf;
    lineLength += 2;
    if (i + 1 < bytes.size()) {
      out += ',';
      ++lineLength;
      if (lineLength > 76) {
        out += "\\\r\n  ";
        lineLength = 2;
      }
    }
  }
}

void FormatKey(const TRegKey& key, const std::string& path, std::string& out) {
  out += "[" + path + "]\r\n";
  for (const auto& [name, v] : key.Values) {
    const std::string prefix = name.empty() ? "@=" : Quote(name) + "=";
    out += prefix;
    const bool plainText = v.Type == TRegValue::kString &&
                           v.Data.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
    if (plainText) {
      out += Quote(v.Data);
    } else if (v.Type == TRegValue::kDword) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "dword:%08x", v.Dword);
      out += buf;
    } else {
      std::string bytes = v.Data;
      if (v.Type == TRegValue::kString || v.Type == TRegValue::kExpandString) bytes += '\0';
      std::string head = "hex";
      if (v.Type != TRegValue::kBinary) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "hex(%x)", v.Type);
        head = buf;
      }
      out += head + ":";
      AppendHex(out, prefix.size() + head.size() + 1, bytes);
    }
    out += "\r\n";
  }
  out += "\r\n";
  for (const auto& [lower, sub] : key.Subkeys) FormatKey(*sub, path + "\\" + sub->Name, out);
}

}  // namespace

bool THiveFile::Parse(std::string_view text, TRegistryStore& store, std::string& error) {
  store.user_ = TRegKey{};
  store.classes_ = TRegKey{};
  auto fail = [&](size_t line, const std::string& why) {
    error = "line " + std::to_string(line) + ": " + why;
    store.user_ = TRegKey{};
    store.classes_ = TRegKey{};
    return false;
  };
  const auto lines = LogicalLines(text);
  size_t i = 0;
  while (i < lines.size() && lines[i].second.empty()) ++i;
  if (i == lines.size() || lines[i].second != kHeader)
    return fail(i < lines.size() ? lines[i].first : 1, "not a REGEDIT4 file");
  ++i;
  TRegKey* key = nullptr;  // nullptr before the first section
  bool skipping = false;   // inside a section of another root or a deletion
  for (; i < lines.size(); ++i) {
    const auto& [lineNo, line] = lines[i];
    std::string_view s = line;
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (s.empty() || s[0] == ';') continue;
    if (s[0] == '[') {
      if (s.back() != ']') return fail(lineNo, "unclosed key name");
      std::string_view path = s.substr(1, s.size() - 2);
      key = nullptr;
      skipping = true;
      if (!path.empty() && path[0] == '-') continue;
      const size_t slash = path.find('\\');
      const std::string_view rootName = path.substr(0, slash);
      for (const RootName& r : kRoots) {
        if (rootName == r.name) {
          key = &store.Root(r.root);
          skipping = false;
        }
      }
      if (skipping) continue;
      size_t depth = 0;
      std::string_view rest = slash == std::string_view::npos ? "" : path.substr(slash + 1);
      while (!rest.empty()) {
        const size_t sep = rest.find('\\');
        const std::string part(rest.substr(0, sep));
        rest = sep == std::string_view::npos ? "" : rest.substr(sep + 1);
        if (part.empty()) return fail(lineNo, "empty key name");
        if (++depth > kMaxDepth) return fail(lineNo, "keys nested too deeply");
        TRegKey* sub = key->FindSubkey(part);
        if (!sub) {
          auto fresh = std::make_unique<TRegKey>();
          fresh->Name = part;
          sub = fresh.get();
          key->Subkeys.emplace(part, std::move(fresh));
        }
        key = sub;
      }
      continue;
    }
    std::string name;
    size_t used = 0;
    if (s[0] == '@') {
      used = 1;
    } else if (s[0] == '"') {
      if (!ParseQuoted(s, name, used)) return fail(lineNo, "unclosed value name");
    } else {
      return fail(lineNo, "expected a key or a value");
    }
    if (used >= s.size() || s[used] != '=') return fail(lineNo, "expected '='");
    TRegValue value;
    bool deletion = false;
    if (!ParseValue(s.substr(used + 1), value, deletion)) return fail(lineNo, "unreadable value");
    if (skipping || deletion) continue;
    if (!key) return fail(lineNo, "value outside a key");
    if (TRegValue* existing = key->FindValue(name)) {
      *existing = value;
    } else {
      key->Values.emplace_back(name, value);
    }
  }
  return true;
}

std::string THiveFile::Format(TRegistryStore& store) {
  std::string out = std::string(kHeader) + "\r\n\r\n";
  for (const RootName& r : kRoots) {
    const TRegKey& root = store.Root(r.root);
    if (!root.Values.empty()) {
      FormatKey(root, r.name, out);
      continue;
    }
    for (const auto& [lower, sub] : root.Subkeys)
      FormatKey(*sub, std::string(r.name) + "\\" + sub->Name, out);
  }
  return out;
}

}  // namespace qgm
