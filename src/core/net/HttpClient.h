#pragma once
// HTTP/1.1 GET over plain TCP or TLS. Replies of 200-299 and 500 return
// their body; every other status (redirects and 304 included, which are never
// followed) raises EHttpProtocolError, and so does a proxy that refuses to
// open a tunnel (its status). Transport failures raise ENetError.
// After any outcome the last reply's status, Location and headers stay
// readable. A call blocks, running the context's idle hook at least every
// 250 ms while it waits; it gives up when no data comes for the read
// time-out, when the whole request passes its deadline, and when the
// context is cancelled.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/net/NetContext.h"

namespace qgm {

struct TProxyConfig {
  std::string Server;  // empty: no proxy
  int Port = 0;
  std::string Username;
  std::string Password;
  bool BasicAuthentication = false;  // send Proxy-Authorization
};

class THttpClient {
 public:
  // Replies larger than this fail instead of filling memory.
  static constexpr size_t kDefaultMaxBody = 64u * 1024 * 1024;

  explicit THttpClient(TNetContext& context = TNetContext::Default());
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  // Settings.
  std::string UserAgent;
  // Longest wait for data, and longest whole request (connect, headers and
  // body). 0: the context's (TNetContext::Timeouts). A large download on a
  // slow line takes kNoDeadline: the read time-out still ends a silent one.
  static constexpr int kNoDeadline = -1;
  int ReadTimeoutMs = 0;
  int DeadlineMs = 0;
  bool BasicAuthentication = false;
  std::string Username;
  std::string Password;
  std::string Accept;                      // empty: none sent
  std::string ContentType;                 // empty: none sent
  std::vector<std::string> CustomHeaders;  // whole lines: "Name: value"
  // Cookies the server sets are sent back on this client's later requests.
  bool AllowCookies = false;
  bool AllowTls = true;  // false: https addresses fail
  TProxyConfig Proxy;
  size_t MaxBodyBytes = kDefaultMaxBody;

  // Throws ENetError without sending anything when a header value (the
  // credentials included) holds a CR, LF or NUL.
  std::string Get(const std::string& url);

  // The last reply.
  int ResponseCode() const { return responseCode_; }
  const std::string& StatusLine() const { return statusLine_; }
  std::string Location() const { return Header("Location"); }
  // The value of the first header of that name, ignoring letter case.
  std::string Header(const std::string& name) const;
  const std::vector<std::pair<std::string, std::string>>& Headers() const { return headers_; }

  // Closes the connection at once (no goodbye). Each request opens its own
  // connection and closes it when it ends, so nothing is left to close.
  void Disconnect();

 private:
  friend struct HttpTransfer;
  void KeepCookies(void* handle);
  void CheckHeaderValues(const std::string& url) const;
  TNetContext& context_;
  std::vector<std::string> cookies_;  // in libcurl's cookie-file line form
  int responseCode_ = -1;
  std::string statusLine_;
  std::vector<std::pair<std::string, std::string>> headers_;
};

}  // namespace qgm
