#pragma once
// A reference (a redirect's Location, say) made absolute against the
// address it came from, by the rules of RFC 3986 section 5.2: an absolute
// reference stands as it is, "//host/x" takes the base's scheme, "/x" its
// scheme and host, "x" and "../x" its folder, "?q" its path; dot segments
// are removed; the base's fragment is never carried over.

#include <string>
#include <string_view>

namespace qgm {

std::string ResolveReference(std::string_view base, std::string_view reference);

}  // namespace qgm
