#pragma once
// The per-user settings store: a tree of keys holding typed values under two
// roots, with the operations of the Windows registry that the program uses.
// On Linux the tree lives in one hive file in the registry-export text
// format (see HiveFile.h), read once and written whole.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qgm {

enum class TRootKey { HKEY_CURRENT_USER, HKEY_CLASSES_ROOT };

class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TRegValue {
  // Windows value types; others are kept as raw bytes with their type code.
  enum : uint32_t { kString = 1, kExpandString = 2, kBinary = 3, kDword = 4 };
  uint32_t Type = kString;
  std::string Data;  // kString: the 8-bit text; kDword: unused; others: raw bytes
  uint32_t Dword = 0;
};

// One key: its values in the order they were created, and its subkeys, which
// compare and enumerate ignoring letter case as Windows does.
struct TRegKey {
  struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  std::string Name;                                       // as first written
  std::vector<std::pair<std::string, TRegValue>> Values;  // "" is the default value
  std::map<std::string, std::unique_ptr<TRegKey>, CaseInsensitiveLess> Subkeys;

  TRegValue* FindValue(const std::string& name);
  TRegKey* FindSubkey(const std::string& name) const;
};

// Both roots and, for a store backed by a file, where they are kept.
class TRegistryStore {
 public:
  TRegistryStore();
  // A store backed by a hive file; the file is read now (a missing file is
  // an empty store; a damaged one is set aside, see LoadError).
  explicit TRegistryStore(std::filesystem::path hiveFile);

  TRegKey& Root(TRootKey root) { return root == TRootKey::HKEY_CURRENT_USER ? user_ : classes_; }
  const std::filesystem::path& HiveFile() const { return hiveFile_; }

  // Marks the tree changed; Flush writes it when it is.
  void MarkDirty() { dirty_ = true; }
  bool Dirty() const { return dirty_; }
  // Writes the hive file whole (temp file, fsync, rename, mode 0600) when
  // anything changed; false when it could not be written.
  bool Flush();
  // Set when the hive file could not be read or parsed: the message, and the
  // name the damaged file was moved to.
  const std::string& LoadError() const { return loadError_; }

 private:
  friend class THiveFile;
  std::filesystem::path hiveFile_;
  TRegKey user_;
  TRegKey classes_;
  bool dirty_ = false;
  std::string loadError_;
  std::string written_;  // the file's text as last read or written
};

// The hive in a settings folder (TFolders::Config): "registry.reg"; empty
// when there is no settings folder (a store of it lives in memory only:
// nothing is read, Flush writes nothing).
std::filesystem::path HiveFileIn(const std::filesystem::path& configFolder);

// An open key and its operations, in the manner of a registry object: open
// a key (paths like "\Software\Corvalink\QuotaGaugeData\"), read and write
// its values, close it. Reads of missing values or of the wrong type throw
// ERegistryException, as the Windows calls fail.
class TRegistry {
 public:
  explicit TRegistry(TRegistryStore& store);
  ~TRegistry();
  // Changes stay in memory until the store is flushed.

  TRootKey RootKey = TRootKey::HKEY_CURRENT_USER;

  bool OpenKey(const std::string& path, bool canCreate);
  bool OpenKeyReadOnly(const std::string& path);
  bool KeyExists(const std::string& path);
  void CloseKey();
  bool DeleteKey(const std::string& path);  // with all its subkeys
  // Names of the open key's subkeys, case-insensitively sorted.
  std::vector<std::string> GetKeyNames() const;

  bool ValueExists(const std::string& name) const;
  bool DeleteValue(const std::string& name);

  std::string ReadString(const std::string& name) const;
  int32_t ReadInteger(const std::string& name) const;
  bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
  // At most `maxBytes` bytes; a longer value cannot be read (throws).
  std::string ReadBinaryData(const std::string& name, size_t maxBytes) const;
  double ReadDateTime(const std::string& name) const;  // 8-byte little-endian double

  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
  void WriteBinaryData(const std::string& name, const std::string& bytes);
  void WriteDateTime(const std::string& name, double value);

 private:
  TRegKey* Walk(const std::string& path, bool create);
  const TRegValue& Value(const std::string& name) const;
  void Write(const std::string& name, TRegValue value);

  TRegistryStore& store_;
  TRegKey* current_ = nullptr;
  bool readOnly_ = false;
};

}  // namespace qgm
