#pragma once
// The provider tab's links: which page each label opens.

#include <string>

#include "core/net/Endpoints.h"

namespace qgm {

// Letters and digits of ASCII as they are; every other byte as "%" and two
// upper-case hexadecimal digits (" " is "%20", "@" is "%40").
std::string PercentEncode(const std::string& text);

enum class EProviderLink {
  Home,              // lblCorvalinkUrl: the home page itself
  Webmail,           // lblWebmailUrl
  HeldSpam,          // lblHeldSpam: the account's held spam
  UsageViaWebsite,   // lblUsageViaCorvalinkUrl
  Forum,             // lblForum: the users' board
  Unmetered,         // lblUnmetered
  SupportWaitTimes,  // lblTechSupportWaitTimes
};

// The address a link opens; `accountName` is the Setup tab's (only the
// part before its first "@" is used, for held spam).
std::string ProviderLinkAddress(EProviderLink link, const TEndpoints& endpoints,
                                const std::string& accountName);

}  // namespace qgm
