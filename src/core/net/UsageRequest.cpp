#include "core/net/UsageRequest.h"

#include "core/net/NetErrors.h"
#include "core/platform/ProcessValues.h"

namespace qgm {

void ApplyProxySettings(THttpClient& client, const TProxySettings& proxy) {
  if (!proxy.UseProxy) {
    client.Proxy = TProxyConfig{};
    return;
  }
  client.Proxy.Port = proxy.Port;
  client.Proxy.Server = proxy.Server;
  client.Proxy.Username = proxy.Username;
  client.Proxy.Password = proxy.Password;
  client.Proxy.BasicAuthentication = !proxy.Password.empty();
}

std::string UserAgent() {
  return ProgramUserAgent();
}

bool GetWithRetries(const std::string& url, const std::string& account, int tries, std::string& out,
                    const std::string& password, const TUsageRequestConfig& config) {
  out.clear();
  TNetContext& context = config.Context ? *config.Context : TNetContext::Default();
  while (tries >= 0) {
    --tries;
    THttpClient client(context);
    ApplyProxySettings(client, config.Proxy);
    client.UserAgent = UserAgent();
    if (!account.empty()) {
      client.BasicAuthentication = true;
      client.Username = account;
      client.Password = password;
    }
    client.ReadTimeoutMs = config.ReadTimeoutMs;
    client.MaxBodyBytes = config.MaxBodyBytes;
    client.AllowCookies = false;
    try {
      out = client.Get(url);
      return !out.empty() && (out.size() > 1000 || out.find("<error>") == std::string::npos);
    } catch (const ENetError& e) {
      const std::string message = e.what();
      if (tries < 0 || (message != kConnectionClosed && message != kReadTimeout)) {
        out = message;
        return false;
      }
    }
  }
  return false;
}

}  // namespace qgm
