#include "core/advisories/Feed.h"

#include <algorithm>

#include "core/net/HttpClient.h"
#include "core/net/NetErrors.h"
#include "core/net/ResolveUrl.h"
#include "core/platform/Launcher.h"
#include "core/util/CodePage.h"
#include "core/util/Crc32.h"
#include "core/xml/XmlText.h"

namespace qgm {

namespace {

TFetchResult FetchOnce(TRssInfo& info, THttpClient& client, std::u16string& text,
                       std::string& failure) {
  client.CustomHeaders.clear();
  if (!info.LastModified.empty())
    client.CustomHeaders.push_back("If-Modified-Since: " + info.LastModified);
  if (!info.ETag.empty()) client.CustomHeaders.push_back("If-None-Match: " + info.ETag);
  const std::string url = info.RedirectUrl.empty() ? info.FeedUrl : info.RedirectUrl;
  // A Location may be relative ("/rss"): it is taken against the address
  // that answered with it.
  const auto redirectTo = [&url](const std::string& location) {
    return location.empty() ? location : ResolveReference(url, location);
  };
  try {
    const std::string body = client.Get(url);
    // The client hands over a server error's body too; for the feed it is
    // a failure like any other error status.
    if (client.ResponseCode() < 200 || client.ResponseCode() > 299) {
      failure = client.StatusLine();
      return frFailed;
    }
    text = FeedBodyText(body);
    return frNewDocument;
  } catch (const EHttpProtocolError& e) {
    const bool redirect = e.Code() == 301 || e.Code() == 302 || e.Code() == 307;
    const std::string target = redirect ? redirectTo(client.Location()) : std::string();
    // A redirect elsewhere than the web (a script, a local file, nowhere)
    // fails this refresh; kept, it would end every refresh after it.
    if (redirect && !TLauncher::IsWebAddress(target)) {
      failure = "the feed redirected to an address that is not a web address";
      return frFailed;
    }
    switch (e.Code()) {
      case 301:
        info.RedirectUrl = target;
        return frPermanentRedirect;
      case 302:
      case 307:
        info.RedirectUrl = target;
        return frTemporaryRedirect;
      case 304:
        return frNotModified;
      default:
        failure = e.what();
        return frFailed;
    }
  } catch (const ENetError& e) {
    // A 304 may surface as a read error; so may a server that says nothing
    // at all after it said "not modified" last time.
    const int status = client.ResponseCode() > 0 ? client.ResponseCode() : info.LastStatus;
    if (status == 304) return frNotModified;
    failure = e.what();
    return frFailed;
  }
}

}  // namespace

TFetchResult FetchFeed(TRssInfo& info, THttpClient& client, std::u16string& text,
                       std::string& failure) {
  const TFetchResult result = FetchOnce(info, client, text, failure);
  if (client.ResponseCode() > 0) info.LastStatus = client.ResponseCode();
  return result;
}

std::u16string FeedBodyText(std::string_view body) {
  const auto byte = [&body](size_t i) { return static_cast<unsigned char>(body[i]); };
  if (body.size() >= 2 &&
      ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    const bool little = byte(0) == 0xFF;
    std::u16string text;
    text.reserve(body.size() / 2);
    for (size_t i = 2; i + 1 < body.size(); i += 2) {
      const unsigned lo = little ? byte(i) : byte(i + 1), hi = little ? byte(i + 1) : byte(i);
      text.push_back(static_cast<char16_t>(hi << 8 | lo));
    }
    return text;
  }
  return Widen1252(body);
}

namespace {

// The Name of an element's first child node: a text or CDATA child's text.
std::u16string_view FirstChildName(const TElement* e) {
  if (!e || !e->FirstChild()) return {};
  return e->FirstChild()->Name();
}

// The first `name` among the children of the root's children.
const TElement* Grandchild(const TElement& root, std::string_view name) {
  for (const TElement* top = root.FirstChild(); top; top = top->NextSibling()) {
    if (const TElement* found = top->FindChild(name)) return found;
  }
  return nullptr;
}

const TElement* Channel(const TElement& root) {
  if (const TElement* c = Grandchild(root, "channel")) return c;
  return root.FindChild("channel");
}

std::u16string_view AttribValue(const TElement& e, std::string_view name) {
  const TAttrib* a = e.FindAttrib(name);
  return a ? a->Value() : std::u16string_view();
}

uint32_t ParseLength(std::u16string_view text) {
  uint64_t value = 0;
  if (text.empty() || text.size() > 10) return 0;
  for (char16_t c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(value);
}

// An element's text. Most entry values are one text or CDATA node, read in
// place; anything else is gathered into `buffer`.
std::u16string_view ElementText(const TElement* e, std::u16string& buffer) {
  if (!e) return {};
  const TElement* only = e->FirstChild();
  if (only && !only->NextSibling() &&
      (only->Kind() == TElementKind::etText || only->Kind() == TElementKind::etCData))
    return only->Name();
  buffer = e->GetText();
  return buffer;
}

// An entry value: the text of a child element. Atom reads "summary" for
// "description" and falls back on "content" for a missing one.
std::u16string_view EntryValue(const TElement& entry, bool isAtom, std::string_view name,
                               std::u16string& buffer) {
  if (isAtom && name == "description") name = "summary";
  const TElement* e = entry.FindChild(name);
  if (!e && isAtom) e = entry.FindChild("content");
  return ElementText(e, buffer);
}

// Entities decoded; text without any is taken as it stands.
std::string Decoded8(std::u16string_view text) {
  if (text.find(u'&') == std::u16string_view::npos) return Narrow1252(text);
  return Narrow1252(DecodeXmlEntities(text));
}

TAdvisory ReadEntry(const TElement& entry, bool isAtom) {
  TAdvisory a;
  std::u16string buffer;
  const std::u16string_view title = EntryValue(entry, isAtom, "title", buffer);
  const bool entities = title.find(u'&') != std::u16string_view::npos;
  const std::u16string decoded = entities ? DecodeXmlEntities(title) : std::u16string();
  a.Title = Narrow1252(HtmlToText(entities ? std::u16string_view(decoded) : title));
  a.Description = Narrow1252(HtmlToText(EntryValue(entry, isAtom, "description", buffer)));
  const TElement* link = entry.FindChild("link");
  if (link) a.Link = Decoded8(isAtom ? AttribValue(*link, "href") : FirstChildName(link));
  // An enclosure is a later link with rel "enclosure", or an "enclosure"
  // element.
  const TElement* enclosure = nullptr;
  for (const TElement* l = link ? link->FindNextSibling("link") : nullptr; l;
       l = l->FindNextSibling("link")) {
    if (AttribValue(*l, "rel") == u"enclosure") {
      enclosure = l;
      a.EnclosureUrl = Decoded8(AttribValue(*l, "href"));
      break;
    }
  }
  if (!enclosure && (enclosure = entry.FindChild("enclosure")))
    a.EnclosureUrl = Decoded8(AttribValue(*enclosure, "url"));
  if (enclosure) {
    a.EnclosureLength = ParseLength(AttribValue(*enclosure, "length"));
    a.EnclosureType = Narrow1252(AttribValue(*enclosure, "type"));
  }
  // The key is the whole text's, so a change anywhere marks it new; what is
  // kept is as much as the list can lay out while the window waits (a
  // megabyte held it for seconds).
  a.Key = AdvisoryKey(a.Title, a.Description);
  if (a.Title.size() > kAdvisoryTitleLimit) a.Title.resize(kAdvisoryTitleLimit);
  if (a.Description.size() > kAdvisoryTextLimit) a.Description.resize(kAdvisoryTextLimit);
  return a;
}

}  // namespace

std::u16string FeedTitle(const TElement& root, bool isAtom) {
  if (isAtom) {
    const TElement* feed = root.FindChild("feed");
    return std::u16string(FirstChildName(feed ? feed->FindChild("title") : nullptr));
  }
  const TElement* channel = Channel(root);
  const TElement* title = channel ? channel->FindChild("title") : nullptr;
  if (!title) return {};
  std::u16string text(FirstChildName(title));
  return text.empty() ? u"[untitled]" : text;
}

const TElement* FirstEntry(const TElement& root, bool isAtom) {
  if (isAtom) return Grandchild(root, "entry");
  if (const TElement* channel = Channel(root)) {
    if (const TElement* item = channel->FindChild("item")) return item;
  }
  if (const TElement* item = Grandchild(root, "item")) return item;
  const TElement* items = Grandchild(root, "items");
  return items ? items->FindChild("item") : nullptr;
}

const TElement* NextEntry(const TElement& entry, bool isAtom) {
  return entry.FindNextSibling(isAtom ? "entry" : "item");
}

std::string AdvisoryKey(std::string_view title, std::string_view description) {
  return Crc32Key(Crc32(description, Crc32(title)));
}

std::vector<TAdvisory> ReadAdvisories(const TElement& root, bool isAtom,
                                      const std::vector<std::string>& seen) {
  std::vector<TAdvisory> list;
  for (const TElement* e = FirstEntry(root, isAtom); e; e = NextEntry(*e, isAtom)) {
    list.push_back(ReadEntry(*e, isAtom));
    list.back().IsNew = std::find(seen.begin(), seen.end(), list.back().Key) == seen.end();
  }
  return list;
}

}  // namespace qgm
