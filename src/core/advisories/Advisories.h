#pragma once
// The Advisories tab's controller: refreshes the feed at every update and
// on the refresh link, rebuilds the advisory list, and remembers which
// advisories the user has seen (the "HashList" setting).

#include <string>
#include <vector>

#include "core/advisories/Feed.h"
#include "core/net/HttpClient.h"
#include "core/net/UsageRequest.h"
#include "core/util/Timing.h"

namespace qgm {

class IAdvisoriesView {
 public:
  virtual ~IAdvisoriesView() = default;
  // Replaces every item; all are shown collapsed.
  virtual void ShowAdvisories(const std::vector<TAdvisory>& advisories) = 0;
};

struct TAdvisoriesConfig {
  std::string FeedUrl;
  std::string UserAgent;
  TNetContext* Context = nullptr;
};

class TAdvisories {
 public:
  // More redirects than this within one refresh fail it.
  static constexpr int kMaxRedirects = 10;
  // A feed larger than this is refused rather than read into memory.
  static constexpr size_t kMaxFeedBytes = 4u * 1024 * 1024;

  // `seenHashes` is the live "HashList" setting; `view` may be null.
  TAdvisories(const TAdvisoriesConfig& config, std::vector<std::string>& seenHashes, IClock& clock,
              IAdvisoriesView* view);

  // For the update cycle's refreshes; the refresh link keeps what was set.
  void ApplyProxy(const TProxySettings& proxy) { ApplyProxySettings(client_, proxy); }
  // Fetch, parse and rebuild. False when the list was left as it was.
  bool RefreshAdvisories();
  // The Advisories tab became the active page: the keys of the advisories
  // now listed become the seen ones.
  void RememberSeenAdvisories();

  const TRssInfo& Info() const { return info_; }
  // The feed's title, as shown.
  const std::string& Title() const { return title_; }
  const std::vector<TAdvisory>& Items() const { return items_; }
  // Why the last refresh left the list as it was.
  const std::string& Failure() const { return failure_; }
  THttpClient& Client() { return client_; }

 private:
  void Rebuild();

  TRssInfo info_;
  std::vector<std::string>& seen_;
  IClock& clock_;
  IAdvisoriesView* view_;
  THttpClient client_;
  std::string title_;
  std::vector<TAdvisory> items_;
  std::string failure_;
};

}  // namespace qgm
