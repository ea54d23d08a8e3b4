#pragma once
// The adapter table of the Network tab: one record per entry of its
// drop-down, in the same order, with the last counters read.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qgm {

struct TAdaptor {
  std::string Name;
  uint64_t InOctets = 0;
  uint64_t OutOctets = 0;
};

class TAdaptors {
 public:
  TAdaptor& Add(const std::string& name);
  // Raises std::out_of_range("TAdaptors: index out of range") outside
  // 0..Count-1.
  TAdaptor& Items(int index);
  int Count() const { return static_cast<int>(records_.size()); }
  int IndexOf(const std::string& name) const;
  // The stored adapter's entry: its own name, else the first whose name
  // differs only in letter case (as the settings match it); -1 for none.
  int IndexOfStored(const std::string& name) const;
  // The names not yet in the table are appended (entries are never
  // removed); returns them.
  std::vector<std::string> Append(const std::vector<std::string>& names);

 private:
  std::vector<std::unique_ptr<TAdaptor>> records_;
};

// The platform's adapters (ListAdaptors; loopback, last, only when asked
// for), and the record's counters read
// afresh (ReadCounters; unchanged when the adapter has none).
std::vector<std::string> ListAdaptors(bool withLoopback = false);
void ReadCounters(TAdaptor& adaptor);
bool GetLanAddresses(const std::string& name, std::string& address, std::string& gateway);
bool GetMacAddress(const std::string& name, std::string& mac);

}  // namespace qgm
