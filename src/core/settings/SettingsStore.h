#pragma once
// Loading and saving the settings model: the main key
// "\Software\Corvalink\QuotaGaugeData\" with its "Email" and "Radio"
// subkeys, the per-account-type credentials, the command line and the
// run-on-startup entry.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/debug/DebugLog.h"
#include "core/platform/Autostart.h"
#include "core/platform/Registry.h"
#include "core/platform/SecretStore.h"
#include "core/settings/Settings.h"

namespace qgm {

inline constexpr const char* kSettingsKey = "\\Software\\Corvalink\\QuotaGaugeData\\";

struct TCommandLine {
  bool Logging = false;
  bool HasCredentials = false;
  std::string Account;
  std::string Password;
};

// Nothing; exactly one argument "-logging" or "/logging" (any letter case);
// or exactly two, an account name and a password. Anything else is ignored.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// "MessageReferences": the references joined with ","; one holding a comma
// or a double quote is enclosed in double quotes with its quotes doubled.
std::string FormatMessageReferences(const std::vector<std::string>& refs);
std::vector<std::string> ParseMessageReferences(const std::string& text);

// The window's top-left corner: the stored one, or the bottom-right corner
// of the work area; then moved inside the work area.
void PlaceWindow(bool stored, int& x, int& y, int width, int height,
                 const std::function<TRect(const TRect&)>& workArea);

class TSettingsStore {
 public:
  // With `secrets`, passwords live in the desktop's keyring and the hive
  // holds none; without it (or when it fails) they stay scrambled in the
  // hive.
  TSettingsStore(TRegistryStore& registry, const TAutostart& autostart, TDebugLog& log,
                 std::string programPath, ISecretStore* secrets = nullptr);

  // The whole load of start-up, in its fixed order.
  void LoadSettings(TSettings& s, const TStartupContext& context);
  void LoadMailboxes(TSettings& s);
  void LoadRadioList(TSettings& s);
  // Writes everything back, unless the credentials came from the command
  // line. Returns false when the save was abandoned part way.
  bool SaveSettings(const TSettings& s);

  // The name and password stored for an account type; true only when both
  // are non-empty. A negative type reads nothing.
  bool LoadAccount(int type, std::string& name, std::string& password);
  // Writes "accountType" and the pair for that type; an empty name or
  // password deletes its value instead.
  void SaveAccount(int type, const std::string& name, const std::string& password);

  // The Setup tab's account handlers. Picking another type fills the fields
  // when a complete pair is stored for it.
  void AccountTypeChanged(TSettings& s, int newType);
  // After an edit of the name or password field: an emptied field erases the
  // stored pair for the selected type at once (returns false); any other
  // edit only marks the credentials changed (returns true) and the pair is
  // saved after the next successful update.
  bool CredentialsEdited(const TSettings& s);

 private:
  // A password value `name` of the key open in `reg` (`path`): the hive's
  // scrambled value when there is one (older or fallback), else the
  // keyring's.
  std::string ReadPassword(TRegistry& reg, const std::string& path, const std::string& name);
  // Into the keyring (the hive's value removed) or, failing that, into the
  // hive. An empty password removes both, except a keyring entry that
  // could not be read at load: it is left alone. True when the keyring
  // holds it.
  bool StorePassword(TRegistry& reg, const std::string& path, const std::string& name,
                     const std::string& password);
  // Writes `password` to the keyring and reads it back; true only when it
  // came back the same.
  bool WriteChecked(const std::string& key, const std::string& password);

  TRegistryStore& registry_;
  const TAutostart& autostart_;
  TDebugLog& log_;
  std::string programPath_;
  ISecretStore* secrets_;
  std::set<std::string> unreadable_;         // keyring entries whose read failed
  std::set<std::string> mailboxKeys_;        // mailbox passwords the keyring holds
  std::map<std::string, std::string> held_;  // what the keyring holds, as far as known
};

}  // namespace qgm
