#pragma once
// The provider's network advisories feed: fetching it with a conditional
// request, and reading RSS (0.9x/2.0 and 1.0 layouts) or Atom into
// advisories.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/util/DateTime.h"
#include "core/xml/XmlParser.h"

namespace qgm {

class THttpClient;

// The feed's state for the program's lifetime; nothing of it outlives a
// run. (The seen advisories are the "HashList" setting.)
struct TRssInfo {
  std::string FeedUrl;
  // Where the last redirect pointed; asked instead of FeedUrl for the rest
  // of the run.
  std::string RedirectUrl;
  bool IsAtom = false;
  std::string LastModified;
  std::string ETag;
  std::unique_ptr<TXmlTree> Document;  // the current feed, kept for 304 answers
  bool Valid = false;
  // The status of the last response the feed's server gave (0: none yet):
  // a refresh that fails before any answer after a 304 counts as one more
  // "not modified".
  int LastStatus = 0;
  TDateTime LastRebuild = 0;
  TDateTime LastSeenSave = 0;
};

// One entry of the feed, as the Advisories tab shows it (8-bit text).
// The most of an advisory's title and description that is shown.
inline constexpr size_t kAdvisoryTitleLimit = 255;
inline constexpr size_t kAdvisoryTextLimit = 4096;

struct TAdvisory {
  std::string Title;        // plain text
  std::string Description;  // plain text, may hold line breaks
  std::string Link;
  std::string EnclosureUrl;
  std::string EnclosureType;
  uint32_t EnclosureLength = 0;
  std::string Key;  // see AdvisoryKey
  bool IsNew = false;
};

enum TFetchResult {
  frFailed = 0,
  frTemporaryRedirect = 2,
  frPermanentRedirect = 3,
  frNotModified = 4,
  frNewDocument = 5,
};

// One request for the feed (RedirectUrl, else FeedUrl) with the kept
// Last-Modified and ETag as conditions. A new document's text is left in
// `text`; a redirect's location goes to RedirectUrl; a failure's reason
// (the status line or the network error) goes to `failure`.
TFetchResult FetchFeed(TRssInfo& info, THttpClient& client, std::u16string& text,
                       std::string& failure);

// The body as 16-bit text: UTF-16 of either byte order after its mark, else
// the 8-bit code page widened.
std::u16string FeedBodyText(std::string_view body);

// The feed's title, "" when the document is no feed. RSS: "[untitled]" for
// a channel whose title element is empty.
std::u16string FeedTitle(const TElement& root, bool isAtom);
const TElement* FirstEntry(const TElement& root, bool isAtom);
const TElement* NextEntry(const TElement& entry, bool isAtom);

// The key that identifies an advisory across refreshes and runs: the CRC-32
// of the title followed by the description, in upper-case hexadecimal.
std::string AdvisoryKey(std::string_view title, std::string_view description);

// Every entry of the feed, marked new when its key is not in `seen`.
std::vector<TAdvisory> ReadAdvisories(const TElement& root, bool isAtom,
                                      const std::vector<std::string>& seen);

}  // namespace qgm
