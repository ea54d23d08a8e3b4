#pragma once
// Hostile content for the simulator's replies: text that a server may send
// in any field (control characters, markup, Windows-1252 and UTF-8 text,
// very long words, a megabyte of text), and the ways an HTTP reply may be
// odd without failing outright (redirects to relative, scheme-relative,
// empty and script addresses; a reply that stalls after its headers). The
// replies stay well-formed around the field that is attacked, so the
// program's text paths meet the text, not only its error paths.

#include <span>
#include <string>
#include <string_view>

namespace corvalink::sim {

// The kinds of hostile text, in draw order; an index below kTextKinds is
// one of them.
inline constexpr const char* kHostileKinds[] = {"control",
                                                "markup",
                                                "cp1252",
                                                "utf-8",
                                                "long word",
                                                "1 MB",
                                                "redirect /x",
                                                "redirect //host/x",
                                                "redirect empty",
                                                "redirect script",
                                                "stall after headers"};
inline constexpr int kTextKinds = 6;
inline constexpr int kRedirectRelative = 6;
inline constexpr int kRedirectSchemeRelative = 7;
inline constexpr int kRedirectEmpty = 8;
inline constexpr int kRedirectScript = 9;
inline constexpr int kStallAfterHeaders = 10;

// The kinds a service meets: all of them over HTTP, the text kinds alone
// elsewhere (POP3).
inline constexpr std::span<const char* const> kHttpKinds(kHostileKinds);
inline constexpr std::span<const char* const> kTextOnlyKinds(kHostileKinds, kTextKinds);

// The text of one text kind, as raw bytes; empty for any other kind. The
// control text ends lines in tab, VT and FF, and holds a NUL and a CR alone;
// the markup names a local file and a script address.
const std::string& HostileText(int kind);
// `text` for XML element content or an attribute value: & < > " escaped,
// every other byte as it is.
std::string XmlEscaped(std::string_view text);
// Link `index` (of a feed's items, a reply's notices) under text kind
// `kind`: for markup a local file and a script address in turn, otherwise
// `site` followed by (at most 4 KiB of) the text.
std::string HostileLink(int kind, const std::string& site, int index);

}  // namespace corvalink::sim
