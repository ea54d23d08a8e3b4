#pragma once
// The one way usage-service requests are made: a fresh client per attempt,
// the Setup tab's proxy settings, Basic authentication, and retries on the
// two transient failures.

#include <string>

#include "core/net/HttpClient.h"

namespace qgm {

// The proxy part of the settings (the Setup tab).
struct TProxySettings {
  bool UseProxy = false;
  std::string Server;
  int Port = 0;
  std::string Username;
  std::string Password;
};

// Copies the proxy settings onto a client: everything cleared when the proxy
// is off; otherwise server, port, user name and password, with proxy Basic
// authentication exactly when the password is non-empty.
void ApplyProxySettings(THttpClient& client, const TProxySettings& proxy);

// "QGM/" + the program version.
std::string UserAgent();

struct TUsageRequestConfig {
  TProxySettings Proxy;
  int ReadTimeoutMs = 15000;
  // The largest reply taken: the biggest real one, 950 days of history, is
  // about 270 kB, so a server sending without end is cut off long before
  // the program's memory grows far.
  size_t MaxBodyBytes = 16u * 1024 * 1024;
  TNetContext* Context = nullptr;  // nullptr: the default context
};

// GETs `url` with up to `tries` further attempts after the first. Returns
// true with the body in `out` when the body is non-empty and either longer
// than 1000 characters or free of "<error>"; such a false result is not
// retried. A read time-out or a connection closed early is retried while
// tries remain; any other failure ends at once with its message in `out`.
bool GetWithRetries(const std::string& url, const std::string& account, int tries, std::string& out,
                    const std::string& password, const TUsageRequestConfig& config = {});

}  // namespace qgm
