#include "core/usage/DebugReport.h"

#include "core/net/UsageRequest.h"
#include "core/util/CodePage.h"
#include "core/xml/XmlParser.h"

namespace qgm {

std::string StripXmlDeclaration(const std::string& reply) {
  const size_t end = reply.find("?>");
  if (end == std::string::npos) return reply;
  size_t pos = end + 2;
  while (pos < reply.size() && static_cast<unsigned char>(reply[pos]) < 32) ++pos;
  return reply.substr(pos);
}

std::string DebugReportDocument(const std::string& usage, const std::string& service,
                                const std::string& history) {
  std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><debug_info>";
  for (const std::string* reply : {&usage, &service, &history}) {
    if (!reply->empty()) doc += StripXmlDeclaration(*reply);
  }
  doc += "</debug_info>";
  // Each reply's top element becomes an "info" element inside the report.
  static const std::string kFrom = "corvalink>";
  std::string out;
  out.reserve(doc.size());
  for (size_t i = 0; i < doc.size();) {
    bool match = i + kFrom.size() <= doc.size();
    for (size_t k = 0; match && k < kFrom.size(); ++k) {
      char c = doc[i + k];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      match = c == kFrom[k];
    }
    if (match) {
      out += "info>";
      i += kFrom.size();
    } else {
      out += doc[i++];
    }
  }
  return out;
}

std::string FetchDebugReport(TUsageService& service, const TUsageAccount& account) {
  const auto& config = service.Config();
  auto get = [&](const std::string& relative, int tries) {
    std::string body;
    return GetWithRetries(config.ApiBase + relative, account.Name, tries, body, account.Password,
                          config.Request)
               ? body
               : std::string();
  };
  std::string usage, details, history;
  const std::string list = get("", 2);
  if (!list.empty()) {
    const auto tree = BuildXmlTree1252(list);
    const std::string id = GetPathText(tree.get(), {"corvalink", "api", "services", "service"});
    if (!id.empty()) {
      usage = get(id + "/usage", 1);
      details = get(id + "/service", 1);
      history = get(id + "/history?count=950&verbose=1", 1);
    }
  }
  return DebugReportDocument(usage, details, history);
}

}  // namespace qgm
