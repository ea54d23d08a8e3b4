#pragma once
// The debug report: the usage service's raw replies for the account, wrapped
// in one XML document the user saves and can send to the help desk.

#include <string>

#include "core/usage/UsageService.h"

namespace qgm {

// The text without its leading XML declaration and the control characters
// that follow it; unchanged when it has no "?>".
std::string StripXmlDeclaration(const std::string& reply);

// The report document for the usage, service-details and history replies
// (an empty one was a failed request and is left out): a declaration, a
// "debug_info" element holding the replies, and every "corvalink>" (any
// letter case) turned into "info>".
std::string DebugReportDocument(const std::string& usage, const std::string& service,
                                const std::string& history);

// Requests the replies (the first service listed, whatever the account
// type) and builds the document.
std::string FetchDebugReport(TUsageService& service, const TUsageAccount& account);

}  // namespace qgm
