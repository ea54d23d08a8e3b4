#pragma once

#include <string>

namespace qgm::bench {

// A usage-history reply of `days` days, shaped as the provider sends it.
std::string MakeHistoryDocument(int days);

}  // namespace qgm::bench
