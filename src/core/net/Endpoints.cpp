#include "core/net/Endpoints.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "core/platform/FileIo.h"
#include "core/util/Text.h"

namespace qgm {
namespace {}  // namespace

std::filesystem::path EndpointsFileIn(const std::filesystem::path& configFolder) {
  return configFolder.empty() ? configFolder : configFolder / "endpoints.conf";
}

std::string ApiHostOf(const std::string& apiBase) {
  const auto scheme = apiBase.find("://");
  return apiBase.substr(0, apiBase.find('/', scheme == std::string::npos ? 0 : scheme + 3));
}

std::pair<std::string, int> SplitHostPort(const std::string& hostAndPort, int defaultPort) {
  const auto colon = hostAndPort.rfind(':');
  if (colon != std::string::npos && hostAndPort.find(']', colon) == std::string::npos) {
    const std::string port = hostAndPort.substr(colon + 1);
    if (!port.empty() && port.size() <= 5 &&
        std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return {hostAndPort.substr(0, colon), std::stoi(port)};
  }
  return {hostAndPort, defaultPort};
}

bool LoadEndpoints(const std::filesystem::path& file, TEndpoints& endpoints, std::string& error) {
  std::error_code ec;
  if (file.empty() || !std::filesystem::exists(file, ec)) return true;
  const auto text = ReadWholeFile(file);
  if (!text) {
    error = "cannot read " + file.string();
    return false;
  }
  const std::map<std::string, std::string*> keys = {
      {"api-base", &endpoints.ApiBase},
      {"feeds-url", &endpoints.FeedsUrl},
      {"home-site", &endpoints.HomeSite},
      {"mail-host", &endpoints.MailHost},
      {"voicemail-sender", &endpoints.VoicemailSender},
      {"time-host", &endpoints.TimeHost},
      {"mirror-host", &endpoints.MirrorHost},
      {"ca-file", &endpoints.CaFile},
      {"web-site", &endpoints.WebSite},
      {"webmail", &endpoints.Webmail},
      {"mail-config-site", &endpoints.MailConfigSite},
      {"customer-site", &endpoints.CustomerSite},
      {"forum-board", &endpoints.ForumBoard}};
  size_t lineNo = 0;
  size_t pos = 0;
  while (pos <= text->size()) {
    const size_t end = std::min(text->find('\n', pos), text->size());
    const std::string line = Trim(std::string_view(*text).substr(pos, end - pos));
    pos = end + 1;
    ++lineNo;
    if (line.empty() || line[0] == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) {
      error = file.string() + ":" + std::to_string(lineNo) + ": expected key = value";
      return false;
    }
    const auto it = keys.find(Trim(line.substr(0, eq)));
    if (it == keys.end()) {
      error = file.string() + ":" + std::to_string(lineNo) + ": unknown key '" +
              Trim(line.substr(0, eq)) + "'";
      return false;
    }
    *it->second = Trim(line.substr(eq + 1));
  }
  return true;
}

}  // namespace qgm
