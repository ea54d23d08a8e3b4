#pragma once
// The provider's list of unmetered radio channels, from the customer API
// host.

#include <string>
#include <vector>

#include "core/net/UsageRequest.h"
#include "core/settings/Settings.h"

namespace qgm {

class TNetContext;

// GETs "/unmetered_radio_list.txt" on `apiHost` ("https://host[:port]")
// with the proxy settings. Any failure gives an empty list and its reason
// in `failure`.
std::vector<TRadioChannel> DownloadRadioList(const std::string& apiHost,
                                             const TProxySettings& proxy, TNetContext* context,
                                             std::string* failure = nullptr);

}  // namespace qgm
