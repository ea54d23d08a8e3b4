// The usage service's reading of its three replies (service list with
// notices, usage, plan details) on arbitrary bytes, and the usage line the
// usage reply gives fed back into the usage record.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/usage/UsageService.h"

namespace {

class CountingSink : public qgm::INoticeSink {
 public:
  void ShowNotice(const qgm::TNoticeRequest& n) override {
    if (n.Body.empty() || n.Reference.empty()) __builtin_trap();
    ++count;
  }
  int count = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  CountingSink sink;
  bool noNotice = false;
  for (int type : {qgm::kAccountHome, qgm::kAccountRoamMobile}) {
    (void)qgm::TUsageService::ReadServiceList(reply, type, {"R1"}, sink, noNotice);
    (void)qgm::TUsageService::DetailsFromReply(reply, type);
  }
  const std::string line = qgm::TUsageService::UsageLineFromReply(reply);
  qgm::TUsageRecord record;
  const int code = qgm::ParseUsageLine(line, 45000.5, record);
  if (code < 0 || code > 4) __builtin_trap();
  // The fuzzer's bytes as a usage line too.
  (void)qgm::ParseUsageLine(reply, 45000.5, record);
  return 0;
}
