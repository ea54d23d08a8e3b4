#include "core/advisories/Advisories.h"

#include "core/util/CodePage.h"
#include "core/xml/XmlText.h"

namespace qgm {

TAdvisories::TAdvisories(const TAdvisoriesConfig& config, std::vector<std::string>& seenHashes,
                         IClock& clock, IAdvisoriesView* view)
    : seen_(seenHashes),
      clock_(clock),
      view_(view),
      client_(config.Context ? *config.Context : TNetContext::Default()) {
  info_.FeedUrl = config.FeedUrl;
  client_.UserAgent = config.UserAgent;
  // No limits of its own: the context's read time-out and deadline, so a
  // feed server that never answers cannot hold up the update after it.
  client_.ReadTimeoutMs = 0;
  client_.AllowCookies = true;
  client_.Accept = "text/html, */*";
  client_.ContentType = "text/html";
  // The feed is plain HTTP; an https address is taken as well.
  client_.AllowTls = true;
  client_.MaxBodyBytes = kMaxFeedBytes;
}

bool TAdvisories::RefreshAdvisories() {
  std::u16string text;
  TFetchResult result;
  int redirects = 0;
  failure_.clear();
  do {
    result = FetchFeed(info_, client_, text, failure_);
  } while ((result == frTemporaryRedirect || result == frPermanentRedirect) &&
           ++redirects <= kMaxRedirects);

  switch (result) {
    case frNotModified:
      info_.Valid = true;  // the kept document again
      break;
    case frNewDocument: {
      info_.Valid = false;
      // An empty body, or a document that is no feed, leaves the kept
      // document in place, so a later "not modified" still has it.
      if (text.empty()) {
        failure_ = "the feed came back empty";
        break;
      }
      std::unique_ptr<TXmlTree> tree = BuildXmlTree(text);
      const bool isAtom = tree->FindChild("feed") != nullptr;
      const std::string title = Narrow1252(HtmlToText(DecodeXmlEntities(FeedTitle(*tree, isAtom))));
      if (title.empty()) {
        failure_ = "the document is not a feed (it has no title)";
        break;
      }
      info_.Document = std::move(tree);
      info_.IsAtom = isAtom;
      info_.Valid = true;
      title_ = title;
      break;
    }
    default:  // failed, or redirected too often
      if (result != frFailed) failure_ = "the feed redirected too often";
      info_.Valid = false;
  }
  if (!info_.Valid) return false;
  // A "not modified" answer without these headers clears them.
  info_.LastModified = client_.Header("Last-Modified");
  info_.ETag = client_.Header("ETag");
  Rebuild();
  return true;
}

void TAdvisories::Rebuild() {
  info_.LastRebuild = clock_.Now();
  items_.clear();
  if (info_.Document) items_ = ReadAdvisories(*info_.Document, info_.IsAtom, seen_);
  if (view_) view_->ShowAdvisories(items_);
}

void TAdvisories::RememberSeenAdvisories() {
  // Before the first rebuild of a run nothing is listed yet: the stored
  // keys stay as they are.
  if (info_.LastRebuild == 0) return;
  if (info_.LastSeenSave > info_.LastRebuild) return;
  info_.LastSeenSave = clock_.Now();
  seen_.clear();
  for (const TAdvisory& a : items_) seen_.push_back(a.Key);
}

}  // namespace qgm
