#include "core/advisories/Feed.h"

#include <algorithm>
#include <charconv>

#include "core/net/HttpClient.h"
#include "core/net/NetErrors.h"
#include "core/util/CodePage.h"
#include "core/util/Crc32.h"
#include "core/xml/XmlText.h"

namespace qgm {

TFetchResult FetchFeed(TRssInfo& info, THttpClient& client, std::u16string& text,
                       std::string& failure) {
  client.CustomHeaders.clear();
  if (!info.LastModified.empty())
    client.CustomHeaders.push_back("If-Modified-Since: " + info.LastModified);
  if (!info.ETag.empty()) client.CustomHeaders.push_back("If-None-Match: " + info.ETag);
  try {
    const std::string body = client.Get(info.RedirectUrl.empty() ? info.FeedUrl : info.RedirectUrl);
    // The client hands over a server error's body too; for the feed it is
    // a failure like any other error status.
    if (client.ResponseCode() < 200 || client.ResponseCode() > 299) {
      failure = client.StatusLine();
      return frFailed;
    }
    text = FeedBodyText(body);
    return frNewDocument;
  } catch (const EHttpProtocolError& e) {
    switch (e.Code()) {
      case 301:
        info.RedirectUrl = client.Location();
        return frPermanentRedirect;
      case 302:
      case 307:
        info.RedirectUrl = client.Location();
        return frTemporaryRedirect;
      case 304:
        return frNotModified;
      default:
        failure = e.what();
        return frFailed;
    }
  } catch (const ENetError& e) {
    if (client.ResponseCode() == 304) return frNotModified;
    failure = e.what();
    return frFailed;
  }
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
std::u16string FirstChildName(const TElement* e) {
  if (!e || !e->FirstChild()) return {};
  return std::u16string(e->FirstChild()->Name());
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

std::string Text8(std::u16string_view text) {
  return Narrow1252(text);
}

std::string AttribText(const TElement& e, std::string_view name) {
  const TAttrib* a = e.FindAttrib(name);
  return a ? Narrow1252(a->Value()) : std::string();
}

uint32_t ParseLength(const std::string& text) {
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

// An entry value: the text of a child element. Atom reads "summary" for
// "description" and falls back on "content" for a missing one.
std::u16string EntryValue(const TElement& entry, bool isAtom, std::string_view name) {
  if (isAtom && name == "description") name = "summary";
  const TElement* e = entry.FindChild(name);
  if (!e && isAtom) e = entry.FindChild("content");
  return e ? e->GetText() : std::u16string();
}

TAdvisory ReadEntry(const TElement& entry, bool isAtom) {
  TAdvisory a;
  a.Title = Text8(HtmlToText(DecodeXmlEntities(EntryValue(entry, isAtom, "title"))));
  a.Description = Text8(HtmlToText(EntryValue(entry, isAtom, "description")));
  const TElement* link = entry.FindChild("link");
  if (link) a.Link = isAtom ? AttribText(*link, "href") : Text8(FirstChildName(link));
  // An enclosure is a later link with rel "enclosure", or an "enclosure"
  // element.
  const TElement* enclosure = nullptr;
  for (const TElement* l = link ? link->FindNextSibling("link") : nullptr; l;
       l = l->FindNextSibling("link")) {
    const TAttrib* rel = l->FindAttrib("rel");
    if (rel && rel->Value() == u"enclosure") {
      enclosure = l;
      a.EnclosureUrl = AttribText(*l, "href");
      break;
    }
  }
  if (!enclosure && (enclosure = entry.FindChild("enclosure")))
    a.EnclosureUrl = AttribText(*enclosure, "url");
  if (enclosure) {
    a.EnclosureLength = ParseLength(AttribText(*enclosure, "length"));
    a.EnclosureType = AttribText(*enclosure, "type");
  }
  a.Link = Text8(DecodeXmlEntities(Widen1252(a.Link)));
  a.EnclosureUrl = Text8(DecodeXmlEntities(Widen1252(a.EnclosureUrl)));
  a.Key = AdvisoryKey(a.Title, a.Description);
  return a;
}

}  // namespace

std::u16string FeedTitle(const TElement& root, bool isAtom) {
  if (isAtom) {
    const TElement* feed = root.FindChild("feed");
    return FirstChildName(feed ? feed->FindChild("title") : nullptr);
  }
  const TElement* channel = Channel(root);
  const TElement* title = channel ? channel->FindChild("title") : nullptr;
  if (!title) return {};
  std::u16string text = FirstChildName(title);
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
  std::string text;
  text.reserve(title.size() + description.size());
  text.append(title).append(description);
  return Crc32Key(text);
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
