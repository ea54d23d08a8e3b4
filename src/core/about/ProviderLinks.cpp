#include "core/about/ProviderLinks.h"

namespace qgm {

namespace {

// `site` with exactly one "/" before `path`.
std::string Join(std::string site, const std::string& path) {
  while (!site.empty() && site.back() == '/') site.pop_back();
  return site + path;
}

}  // namespace

std::string PercentEncode(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
      out += c;
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

std::string ProviderLinkAddress(EProviderLink link, const TEndpoints& endpoints,
                                const std::string& accountName) {
  switch (link) {
    case EProviderLink::Home:
      return endpoints.WebSite;
    case EProviderLink::Webmail:
      return endpoints.Webmail;
    case EProviderLink::HeldSpam:
      return Join(endpoints.MailConfigSite,
                  "/cgi/user.cgi?lcmd=user_spam_stored_load&username=" +
                      PercentEncode(accountName.substr(0, accountName.find('@'))));
    case EProviderLink::UsageViaWebsite:
      return Join(endpoints.CustomerSite, "/mycorvalink/sys0/login");
    case EProviderLink::Forum:
      return endpoints.ForumBoard;
    case EProviderLink::Unmetered:
      return Join(endpoints.WebSite, "/residential/tech_space/unmetered_content/");
    case EProviderLink::SupportWaitTimes:
      return Join(endpoints.WebSite, "/customer-service/");
  }
  return {};
}

}  // namespace qgm
