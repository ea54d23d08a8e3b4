#include "core/network/Adaptors.h"

#include <algorithm>
#include <stdexcept>

#include "core/platform/Adapters.h"

namespace qgm {

TAdaptor& TAdaptors::Add(const std::string& name) {
  records_.push_back(std::make_unique<TAdaptor>());
  records_.back()->Name = name;
  return *records_.back();
}

TAdaptor& TAdaptors::Items(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("TAdaptors: index out of range");
  return *records_[static_cast<size_t>(index)];
}

int TAdaptors::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (records_[static_cast<size_t>(i)]->Name == name) return i;
  return -1;
}

int TAdaptors::IndexOfStored(const std::string& name) const {
  if (const int exact = IndexOf(name); exact >= 0) return exact;
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
  for (int i = 0; i < Count(); ++i) {
    const std::string& other = records_[static_cast<size_t>(i)]->Name;
    if (other.size() == name.size() &&
        std::equal(other.begin(), other.end(), name.begin(),
                   [&](char a, char b) { return lower(a) == lower(b); }))
      return i;
  }
  return -1;
}

std::vector<std::string> TAdaptors::Append(const std::vector<std::string>& names) {
  std::vector<std::string> added;
  for (const std::string& name : names) {
    if (IndexOf(name) >= 0) continue;
    Add(name);
    added.push_back(name);
  }
  return added;
}

std::vector<std::string> ListAdaptors(bool withLoopback) {
  return AdapterNames(withLoopback);
}

void ReadCounters(TAdaptor& adaptor) {
  uint64_t in = 0, out = 0;
  if (AdapterCounters(adaptor.Name, in, out)) {
    adaptor.InOctets = in;
    adaptor.OutOctets = out;
  }
}

bool GetLanAddresses(const std::string& name, std::string& address, std::string& gateway) {
  return AdapterLanAddresses(name, address, gateway);
}

bool GetMacAddress(const std::string& name, std::string& mac) {
  return AdapterMacAddress(name, mac);
}

}  // namespace qgm
