#include "core/radio/RadioList.h"

#include "core/net/HttpClient.h"
#include "core/net/NetContext.h"
#include "core/platform/ProcessValues.h"
#include "core/radio/Channels.h"

namespace qgm {

std::vector<TRadioChannel> DownloadRadioList(const std::string& apiHost,
                                             const TProxySettings& proxy, TNetContext* context,
                                             std::string* failure) {
  THttpClient client(context ? *context : TNetContext::Default());
  client.UserAgent = ProgramUserAgent();
  client.ReadTimeoutMs = 30000;
  client.MaxBodyBytes = 1024 * 1024;
  ApplyProxySettings(client, proxy);
  try {
    const std::string body = client.Get(apiHost + "/unmetered_radio_list.txt");
    if (client.ResponseCode() < 200 || client.ResponseCode() > 299) {
      if (failure) *failure = client.StatusLine();
      return {};
    }
    return ParseChannelList(body);
  } catch (const std::exception& e) {
    if (failure) *failure = e.what();
    return {};
  }
}

}  // namespace qgm
