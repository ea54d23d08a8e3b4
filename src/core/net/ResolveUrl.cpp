#include "core/net/ResolveUrl.h"

#include <cctype>

namespace qgm {
namespace {

// The five components of RFC 3986 section 3; an undefined component (no
// "?", say) differs from an empty one.
struct TUriParts {
  std::string_view scheme, authority, path, query, fragment;
  bool hasScheme = false, hasAuthority = false, hasQuery = false, hasFragment = false;
};

bool IsSchemeChar(char c, bool first) {
  const auto u = static_cast<unsigned char>(c);
  if (std::isalpha(u)) return true;
  return !first && (std::isdigit(u) || c == '+' || c == '-' || c == '.');
}

// Appendix B's split, with the scheme's letters checked.
TUriParts Split(std::string_view s) {
  TUriParts p;
  const size_t colon = s.find_first_of(":/?#");
  if (colon != std::string_view::npos && colon > 0 && s[colon] == ':') {
    bool valid = true;
    for (size_t i = 0; i < colon && valid; ++i) valid = IsSchemeChar(s[i], i == 0);
    if (valid) {
      p.hasScheme = true;
      p.scheme = s.substr(0, colon);
      s.remove_prefix(colon + 1);
    }
  }
  if (const size_t hash = s.find('#'); hash != std::string_view::npos) {
    p.hasFragment = true;
    p.fragment = s.substr(hash + 1);
    s = s.substr(0, hash);
  }
  if (const size_t q = s.find('?'); q != std::string_view::npos) {
    p.hasQuery = true;
    p.query = s.substr(q + 1);
    s = s.substr(0, q);
  }
  if (s.substr(0, 2) == "//") {
    s.remove_prefix(2);
    const size_t slash = s.find('/');
    p.hasAuthority = true;
    p.authority = s.substr(0, slash);
    s = slash == std::string_view::npos ? std::string_view() : s.substr(slash);
  }
  p.path = s;
  return p;
}

// Section 5.2.4.
std::string RemoveDotSegments(std::string_view in) {
  std::string out;
  const auto dropLastSegment = [&out] {
    const size_t slash = out.rfind('/');
    out.erase(slash == std::string::npos ? 0 : slash);
  };
  while (!in.empty()) {
    if (in.substr(0, 3) == "../") {
      in.remove_prefix(3);
    } else if (in.substr(0, 2) == "./") {
      in.remove_prefix(2);
    } else if (in.substr(0, 3) == "/./") {
      in.remove_prefix(2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.substr(0, 4) == "/../") {
      in.remove_prefix(3);
      dropLastSegment();
    } else if (in == "/..") {
      in = "/";
      dropLastSegment();
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      const size_t next = in.find('/', in[0] == '/' ? 1 : 0);
      const size_t n = next == std::string_view::npos ? in.size() : next;
      out.append(in.substr(0, n));
      in.remove_prefix(n);
    }
  }
  return out;
}

// Section 5.2.3.
std::string Merge(const TUriParts& base, std::string_view path) {
  if (base.hasAuthority && base.path.empty()) return "/" + std::string(path);
  const size_t slash = base.path.rfind('/');
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(base.path.substr(0, slash + 1)) + std::string(path);
}

}  // namespace

std::string ResolveReference(std::string_view baseText, std::string_view reference) {
  const TUriParts base = Split(baseText);
  const TUriParts r = Split(reference);
  // Section 5.2.2, strict: a reference with a scheme is taken as absolute.
  TUriParts t;
  std::string path;
  if (r.hasScheme) {
    t = r;
    path = RemoveDotSegments(r.path);
  } else {
    t.scheme = base.scheme;
    t.hasScheme = base.hasScheme;
    if (r.hasAuthority) {
      t.authority = r.authority;
      t.hasAuthority = true;
      path = RemoveDotSegments(r.path);
      t.query = r.query;
      t.hasQuery = r.hasQuery;
    } else {
      t.authority = base.authority;
      t.hasAuthority = base.hasAuthority;
      if (r.path.empty()) {
        path = std::string(base.path);
        t.query = r.hasQuery ? r.query : base.query;
        t.hasQuery = r.hasQuery || base.hasQuery;
      } else {
        path = RemoveDotSegments(r.path[0] == '/' ? std::string(r.path) : Merge(base, r.path));
        t.query = r.query;
        t.hasQuery = r.hasQuery;
      }
    }
    t.fragment = r.fragment;
    t.hasFragment = r.hasFragment;
  }
  // Section 5.3.
  std::string out;
  if (t.hasScheme) out.append(t.scheme).append(":");
  if (t.hasAuthority) out.append("//").append(t.authority);
  out += path;
  if (t.hasQuery) out.append("?").append(t.query);
  if (t.hasFragment) out.append("#").append(t.fragment);
  return out;
}

}  // namespace qgm
