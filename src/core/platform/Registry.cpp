#include "core/platform/Registry.h"

#include <cstdlib>
#include <cstring>

#include "core/platform/FileIo.h"
#include "core/platform/Folders.h"
#include "core/platform/HiveFile.h"
#include "core/util/DateTime.h"

namespace qgm {
namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    const size_t sep = path.find('\\', pos);
    const size_t end = sep == std::string::npos ? path.size() : sep;
    if (end > pos) parts.push_back(path.substr(pos, end - pos));
    if (sep == std::string::npos) break;
    pos = sep + 1;
  }
  return parts;
}

bool Contains(const TRegKey& branch, const TRegKey* key) {
  if (&branch == key) return true;
  for (const auto& [name, sub] : branch.Subkeys) {
    if (Contains(*sub, key)) return true;
  }
  return false;
}

}  // namespace

bool TRegKey::CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char x = Lower(a[i]), y = Lower(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

TRegValue* TRegKey::FindValue(const std::string& name) {
  for (auto& [n, v] : Values) {
    if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
          return Lower(a) == Lower(b);
        })) {
      return &v;
    }
  }
  return nullptr;
}

TRegKey* TRegKey::FindSubkey(const std::string& name) const {
  const auto it = Subkeys.find(name);
  return it == Subkeys.end() ? nullptr : it->second.get();
}

std::filesystem::path HiveFileIn(const std::filesystem::path& configFolder) {
  // Never a hive in a shared folder (the temporary one): another user
  // could plant one there, whose player and open commands this user runs.
  if (configFolder.empty()) return {};
  return configFolder / "registry.reg";
}

TRegistryStore::TRegistryStore() = default;

TRegistryStore::TRegistryStore(std::filesystem::path hiveFile) : hiveFile_(std::move(hiveFile)) {
  std::error_code ec;
  if (!std::filesystem::exists(hiveFile_, ec)) return;
  const auto text = ReadWholeFile(hiveFile_);
  std::string error;
  if (text && THiveFile::Parse(*text, *this, error)) {
    written_ = *text;
    return;
  }
  if (!text) error = "cannot be read";
  // Keep the damaged file for the user instead of overwriting it with the
  // defaults at the next save.
  std::filesystem::path aside = hiveFile_;
  aside += ".damaged-" + FormatDateTime("yyyymmdd-hhnnss", NowLocal());
  std::filesystem::rename(hiveFile_, aside, ec);
  loadError_ = hiveFile_.string() + " " + error + (ec ? "" : "; kept as " + aside.string());
}

bool TRegistryStore::Flush() {
  if (!dirty_ || hiveFile_.empty()) return true;
  // Saves rewrite every value; the file is replaced only when its text
  // changes (or it has gone).
  std::string text = THiveFile::Format(*this);
  std::error_code ec;
  if (text != written_ || !std::filesystem::exists(hiveFile_, ec)) {
    MakePrivateFolder(hiveFile_.parent_path());
    if (!WriteFileAtomic(hiveFile_, text, 0600)) return false;
    written_ = std::move(text);
  }
  dirty_ = false;
  return true;
}

TRegistry::TRegistry(TRegistryStore& store) : store_(store) {}

TRegistry::~TRegistry() {
  CloseKey();
}

TRegKey* TRegistry::Walk(const std::string& path, bool create) {
  TRegKey* key = (!path.empty() && path[0] == '\\') || !current_ ? &store_.Root(RootKey) : current_;
  for (const std::string& part : SplitPath(path)) {
    TRegKey* sub = key->FindSubkey(part);
    if (!sub) {
      if (!create) return nullptr;
      auto fresh = std::make_unique<TRegKey>();
      fresh->Name = part;
      sub = fresh.get();
      key->Subkeys.emplace(part, std::move(fresh));
      store_.MarkDirty();
    }
    key = sub;
  }
  return key;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
  TRegKey* key = Walk(path, canCreate);
  if (!key) return false;
  CloseKey();
  current_ = key;
  readOnly_ = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& path) {
  TRegKey* key = Walk(path, false);
  if (!key) return false;
  CloseKey();
  current_ = key;
  readOnly_ = true;
  return true;
}

bool TRegistry::KeyExists(const std::string& path) {
  return Walk(path, false) != nullptr;
}

void TRegistry::CloseKey() {
  current_ = nullptr;
}

bool TRegistry::DeleteKey(const std::string& path) {
  auto parts = SplitPath(path);
  if (parts.empty()) return false;
  const std::string last = parts.back();
  parts.pop_back();
  std::string parentPath = path[0] == '\\' ? "\\" : "";
  for (const auto& p : parts) parentPath += p + "\\";
  TRegKey* parent = Walk(parentPath, false);
  if (!parent) return false;
  const auto it = parent->Subkeys.find(last);
  if (it == parent->Subkeys.end()) return false;
  // The open key goes away with the deleted branch.
  if (current_ && Contains(*it->second, current_)) current_ = nullptr;
  parent->Subkeys.erase(it);
  store_.MarkDirty();
  return true;
}

std::vector<std::string> TRegistry::GetKeyNames() const {
  std::vector<std::string> names;
  if (!current_) return names;
  for (const auto& [lower, sub] : current_->Subkeys) names.push_back(sub->Name);
  return names;
}

bool TRegistry::ValueExists(const std::string& name) const {
  return current_ && current_->FindValue(name) != nullptr;
}

bool TRegistry::DeleteValue(const std::string& name) {
  if (!current_ || readOnly_) return false;
  auto& values = current_->Values;
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (current_->FindValue(name) == &it->second) {
      values.erase(it);
      store_.MarkDirty();
      return true;
    }
  }
  return false;
}

const TRegValue& TRegistry::Value(const std::string& name) const {
  const TRegValue* v = current_ ? current_->FindValue(name) : nullptr;
  if (!v) throw ERegistryException("Invalid data type for '" + name + "'");
  return *v;
}

std::string TRegistry::ReadString(const std::string& name) const {
  const TRegValue& v = Value(name);
  if (v.Type != TRegValue::kString && v.Type != TRegValue::kExpandString) {
    throw ERegistryException("Invalid data type for '" + name + "'");
  }
  return v.Data;
}

int32_t TRegistry::ReadInteger(const std::string& name) const {
  const TRegValue& v = Value(name);
  if (v.Type != TRegValue::kDword) throw ERegistryException("Invalid data type for '" + name + "'");
  return static_cast<int32_t>(v.Dword);
}

std::string TRegistry::ReadBinaryData(const std::string& name, size_t maxBytes) const {
  const TRegValue& v = Value(name);
  if (v.Type == TRegValue::kDword) throw ERegistryException("Invalid data type for '" + name + "'");
  if (v.Data.size() > maxBytes) throw ERegistryException("Failed to get data for '" + name + "'");
  return v.Data;
}

double TRegistry::ReadDateTime(const std::string& name) const {
  const std::string bytes = ReadBinaryData(name, 8);
  if (bytes.size() != 8) throw ERegistryException("Invalid data type for '" + name + "'");
  // Little-endian on every machine the program runs on; assemble it portably.
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void TRegistry::Write(const std::string& name, TRegValue value) {
  if (!current_ || readOnly_) throw ERegistryException("Failed to set data for '" + name + "'");
  if (TRegValue* existing = current_->FindValue(name)) {
    *existing = std::move(value);
  } else {
    current_->Values.emplace_back(name, std::move(value));
  }
  store_.MarkDirty();
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  Write(name, TRegValue{TRegValue::kString, value, 0});
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
  Write(name, TRegValue{TRegValue::kDword, {}, static_cast<uint32_t>(value)});
}

void TRegistry::WriteBinaryData(const std::string& name, const std::string& bytes) {
  Write(name, TRegValue{TRegValue::kBinary, bytes, 0});
}

void TRegistry::WriteDateTime(const std::string& name, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  WriteBinaryData(name, bytes);
}

}  // namespace qgm
