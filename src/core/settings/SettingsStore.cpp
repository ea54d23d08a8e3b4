#include "core/settings/SettingsStore.h"

#include <algorithm>

#include "core/settings/Passwords.h"
#include "core/util/Text.h"

namespace qgm {
namespace {

const char* const kAccountNames[3] = {"home", "business", "roammobile"};
const char* const kPasswordNames[3] = {"home2", "business2", "roammobile2"};
constexpr size_t kMaxPasswordBytes = 80;

// Reads that fall back to a default when the value is missing or of another
// type, so one odd value never stops the whole load.
class Reader {
 public:
  explicit Reader(TRegistry& reg) : reg_(reg) {}
  bool Has(const char* name) const { return reg_.ValueExists(name); }
  std::string String(const char* name, std::string def = {}) const {
    try {
      return reg_.ValueExists(name) ? reg_.ReadString(name) : def;
    } catch (const ERegistryException&) {
      return def;
    }
  }
  int Integer(const char* name, int def) const {
    try {
      return reg_.ValueExists(name) ? reg_.ReadInteger(name) : def;
    } catch (const ERegistryException&) {
      return def;
    }
  }
  bool Bool(const char* name, bool def) const { return Integer(name, def ? 1 : 0) != 0; }
  std::string Password(const char* name) const {
    try {
      return reg_.ValueExists(name)
                 ? UnscramblePassword(reg_.ReadBinaryData(name, kMaxPasswordBytes))
                 : std::string();
    } catch (const ERegistryException&) {
      return {};  // longer than the read buffer: not readable
    }
  }

 private:
  TRegistry& reg_;
};

// The value that says a password is in the keyring: "<name>InKeyring".
std::string KeyringMarker(const std::string& name) {
  return name + "InKeyring";
}

// A mailbox's key in the hive.
std::string MailboxKey(const std::string& name) {
  return std::string(kSettingsKey) + "Email\\" + name;
}

// A channel's key in the hive.
std::string RadioKey(const std::string& keyName) {
  return std::string(kSettingsKey) + "Radio\\" + keyName;
}

// The key a channel is stored under: its caption, as it always was, unless
// that cannot name a key of its own (empty, a backslash, a line break, or
// a key already taken, letter case ignored); then the caption with those
// characters replaced and " (2)", " (3)" ... added, and the caption itself
// in the key's "caption" value.
std::string RadioKeyName(TRegistryStore& registry, const std::string& caption) {
  std::string base = caption.empty() ? "Channel" : caption;
  for (char& c : base) {
    if (c == '\\') c = '/';
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
  }
  TRegistry probe(registry);
  std::string name = base;
  for (int n = 2; probe.KeyExists(RadioKey(name)); ++n)
    name = base + " (" + std::to_string(n) + ")";
  return name;
}

// The name before its realm, and the account type the realm gives (-1 for
// another realm).
void SplitRealm(const std::string& full, std::string& name, int& type) {
  name = full.substr(0, full.find('@'));
  type = full.find("@adsl") != std::string::npos         ? 1
         : full.find("@roammobile") != std::string::npos ? 2
                                                         : -1;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine c;
  if (args.size() == 1) {
    const std::string a = LowerAscii(args[0]);
    c.Logging = a == "-logging" || a == "/logging";
  } else if (args.size() == 2) {
    c.HasCredentials = true;
    c.Account = args[0];
    c.Password = args[1];
  }
  return c;
}

std::string FormatMessageReferences(const std::vector<std::string>& refs) {
  std::string out;
  for (size_t i = 0; i < refs.size(); ++i) {
    if (i) out += ',';
    const std::string& r = refs[i];
    if (r.find_first_of(",\"") == std::string::npos) {
      out += r;
      continue;
    }
    out += '"';
    for (char c : r) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

std::vector<std::string> ParseMessageReferences(const std::string& text) {
  std::vector<std::string> refs;
  if (text.empty()) return refs;
  std::string current;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        current += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      refs.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  refs.push_back(std::move(current));
  return refs;
}

void PlaceWindow(bool stored, int& x, int& y, int width, int height,
                 const std::function<TRect(const TRect&)>& workArea) {
  const TRect primary = workArea ? workArea(TRect{x, y, x + width, y + height}) : TRect{};
  if (!stored) {
    x = primary.Right - width;
    y = primary.Bottom - height;
  }
  const TRect area = workArea ? workArea(TRect{x, y, x + width, y + height}) : primary;
  if (x + width > area.Right) {
    x = area.Right - width;
  } else if (x < area.Left) {
    x = area.Left;
  }
  if (y + height > area.Bottom) {
    y = area.Bottom - height;
  } else if (y < area.Top) {
    y = area.Top;
  }
}

TSettingsStore::TSettingsStore(TRegistryStore& registry, const TAutostart& autostart,
                               TDebugLog& log, std::string programPath, ISecretStore* secrets)
    : registry_(registry),
      autostart_(autostart),
      log_(log),
      programPath_(std::move(programPath)),
      secrets_(secrets) {}

std::string TSettingsStore::ReadPassword(TRegistry& reg, const std::string& path,
                                         const std::string& name) {
  const Reader r(reg);
  if (r.Has(name.c_str()) || !secrets_) return r.Password(name.c_str());
  // Only a password the hive says is there is asked for: a keyring is
  // never woken (or asked to unlock) for one that was never set.
  if (!r.Has(KeyringMarker(name).c_str())) return {};
  const std::string key = path + name;
  std::string secret;
  switch (secrets_->Read(key, secret)) {
    case ISecretStore::EReadResult::Found:
      held_[key] = secret;
      return secret;
    case ISecretStore::EReadResult::Failed:
      unreadable_.insert(key);
      return {};
    case ISecretStore::EReadResult::NotFound:
      return {};
  }
  return {};
}

bool TSettingsStore::WriteChecked(const std::string& key, const std::string& password) {
  // The hive's copy goes only once the keyring gives the password back as
  // written: one it took but mangled (or lost) would otherwise be gone.
  std::string back;
  return secrets_->Write(key, password) &&
         secrets_->Read(key, back) == ISecretStore::EReadResult::Found && back == password;
}

bool TSettingsStore::StorePassword(TRegistry& reg, const std::string& path, const std::string& name,
                                   const std::string& password) {
  const std::string key = path + name;
  const std::string marker = KeyringMarker(name);
  if (password.empty()) {
    reg.DeleteValue(name);
    // One the keyring would not give at load stays there, marked.
    if (unreadable_.count(key)) {
      reg.WriteBool(marker, true);
      return true;
    }
    if (reg.ValueExists(marker)) {
      if (secrets_) secrets_->Remove(key);
      reg.DeleteValue(marker);
    }
    held_.erase(key);
    return false;
  }
  // A keyring that holds this password already is not written again (the
  // settings are saved often, and each write is a round trip to it).
  const auto held = held_.find(key);
  if (secrets_ &&
      ((held != held_.end() && held->second == password) || WriteChecked(key, password))) {
    reg.DeleteValue(name);
    reg.WriteBool(marker, true);
    unreadable_.erase(key);
    held_[key] = password;
    return true;
  }
  // The hive's value wins over the keyring's from now on.
  held_.erase(key);
  reg.WriteBinaryData(name, ScramblePassword(password));
  return false;
}

bool TSettingsStore::LoadAccount(int type, std::string& name, std::string& password) {
  if (type < 0) return false;
  if (type > 2) type = 0;
  TRegistry reg(registry_);
  if (!reg.OpenKey(kSettingsKey, true)) return false;
  const Reader r(reg);
  name = r.String(kAccountNames[type]);
  password = ReadPassword(reg, kSettingsKey, kPasswordNames[type]);
  return !name.empty() && !password.empty();
}

void TSettingsStore::SaveAccount(int type, const std::string& name, const std::string& password) {
  if (type < 0 || type > 2) return;
  TRegistry reg(registry_);
  if (!reg.OpenKey(kSettingsKey, true)) return;
  try {
    reg.WriteInteger("accountType", type);
    if (name.empty()) {
      reg.DeleteValue(kAccountNames[type]);
    } else {
      reg.WriteString(kAccountNames[type], name);
    }
    StorePassword(reg, kSettingsKey, kPasswordNames[type], password);
  } catch (const ERegistryException&) {
  }
  registry_.Flush();
}

void TSettingsStore::LoadSettings(TSettings& s, const TStartupContext& context) {
  TRegistry reg(registry_);
  reg.OpenKey(kSettingsKey, true);
  const Reader r(reg);

  // 1. Account.
  if (r.Has("accountType")) {
    s.AccountType = r.Integer("accountType", 0);
    if (s.AccountType < 0 || s.AccountType > 2) s.AccountType = 0;
    std::string name, password;
    if (LoadAccount(s.AccountType, name, password)) {
      s.AccountName = name;
      s.Password = password;
    } else if (name.empty() ||
               !unreadable_.contains(std::string(kSettingsKey) + kPasswordNames[s.AccountType])) {
      s.RunOnStartup = true;  // no complete pair stored: set up as a first run
    }
    // Else the pair is stored, its password in a keyring that cannot be
    // read now (locked, not running): no first run, every setting as it was.
    reg.OpenKey(kSettingsKey, true);
  } else if (r.Has("b1")) {
    int type;
    SplitRealm(r.String("b1"), s.AccountName, type);
    s.AccountType = type < 0 ? 0 : type;
    s.Password = ReadPassword(reg, kSettingsKey, "b3");
  } else {
    s.RunOnStartup = true;  // a first run
  }

  // 2-3.
  s.ClientNo = r.String("ClientNo");
  s.SkipSpamCheck = r.Bool("SkipSpamCheck", false);

  // 4. Command line.
  const TCommandLine cmd = ParseCommandLine(context.Args);
  if (!s.DebugLogging && cmd.Logging) s.DebugLogging = true;
  if (cmd.HasCredentials) {
    int type;
    SplitRealm(cmd.Account, s.AccountName, type);
    if (type >= 0) s.AccountType = type;
    s.Password = cmd.Password;
    s.CommandLineCredentials = true;
    s.WindowCaption = "QGM - " + s.AccountName;
  }
  log_.SetEnabled(s.DebugLogging);

  // 5.
  if (s.AccountName.empty() || s.Password.empty()) {
    s.ShowSetupTab = true;
    s.ShowWindowAtStart = true;
  }

  // 6. Proxy.
  s.UseProxy = r.Bool("UseProxy", false);
  s.ProxyPassword = ReadPassword(reg, kSettingsKey, "b4");
  s.ProxyUsername = r.String("ProxyUsername");
  s.ProxyAddress = r.String("ProxyAddress");
  s.ProxyPort = r.Integer("ProxyPort", 0);

  // 7-9.
  s.StartMinimized = r.Bool("StartMimimized", false);
  if (!s.StartMinimized && !context.LaunchedMinimized) s.ShowWindowAtStart = true;
  s.StayOnTop = r.Bool("StayOnTop", false);
  s.ShowHistoryTotals = r.Bool("ShowHistoryTotals", false);
  s.ShowHistoryDownloads = r.Bool("ShowHistoryDownloads", true);
  s.ShowHistoryUploads = r.Bool("ShowHistoryUploads", false);
  if (!s.ShowHistoryTotals && !s.ShowHistoryDownloads && !s.ShowHistoryUploads) {
    s.ShowHistoryDownloads = true;
  }
  s.HideAdvisoryTips = r.Bool("HideAdvisoryTips", false);

  // 10-12.
  // A hand-edited delay beyond the slider's 0..180 seconds would wait past
  // its range or overflow the timer's milliseconds.
  s.StartDelay = std::clamp(r.Integer("StartDelay", 60), 0, 180);
  s.CheckEmail = r.Bool("CheckEmail", false);
  s.CheckForUpdates = r.Bool("CheckForUpdates", true);
  // A colour the user chose stays theirs. Hives written before the choice
  // was recorded hold the default of their day, black or white: those
  // follow today's default.
  const auto storedColour = static_cast<uint32_t>(
      r.Integer("TrayFontColor", static_cast<int>(context.DefaultTrayTextColor)));
  s.TrayFontColorChosen =
      r.Has("TrayFontColorChosen")
          ? r.Bool("TrayFontColorChosen", false)
          : r.Has("TrayFontColor") && storedColour != 0 && storedColour != 0x00FFFFFFu;
  s.TrayFontColor = s.TrayFontColorChosen ? storedColour : context.DefaultTrayTextColor;

  // 13.
  if (s.DebugLogging) log_.Write(TDebugLog::RestartLine(context.Now));

  // 14. The adapter with the stored text, letter case ignored.
  s.NetworkAdaptor = r.String("NetworkAdaptor");
  s.SelectedAdapter = -1;
  for (size_t i = 0; i < context.AdapterNames.size(); ++i) {
    if (LowerAscii(context.AdapterNames[i]) == LowerAscii(s.NetworkAdaptor)) {
      s.SelectedAdapter = static_cast<int>(i);
      break;
    }
  }

  // 15.
  s.RadioPlayer = r.String("RadioPlayer");
  if (!r.Has("RadioPlayer") && context.DefaultRadioPlayer)
    s.RadioPlayer = context.DefaultRadioPlayer();

  // 16. CallHaven.
  if (context.CallFilesExist && r.Has("CallhavenDate")) {
    try {
      s.CallhavenDate = reg.ReadDateTime("CallhavenDate");
    } catch (const ERegistryException&) {
    }
  }
  s.CallhavenNo1 = r.String("CallhavenNo1");
  s.CallhavenNo2 = ReadPassword(reg, kSettingsKey, "CallhavenNo2");
  s.CallhavenVisible =
      !s.CallhavenNo1.empty() && !s.CallhavenNo2.empty() && r.Bool("CallhavenVisible", false);

  // 17.
  s.LanScaleInAbsent = !r.Has("LanScaleIn");
  s.LanScaleIn = r.Integer("LanScaleIn", 11);
  s.LanScaleOut = r.Integer("LanScaleOut", 15);
  s.SpeedInBytes = r.Bool("SpeedInBytes", false);

  // 18. Window position.
  const bool stored = r.Has("posx") && r.Has("posy");
  s.PosX = r.Integer("posx", 0);
  s.PosY = r.Integer("posy", 0);
  PlaceWindow(stored, s.PosX, s.PosY, context.WindowWidth, context.WindowHeight, context.WorkArea);

  // 19.
  s.SeenNoticeRefs = ParseMessageReferences(r.String("MessageReferences"));
  s.HashList = ParseMessageReferences(r.String("HashList"));

  // The usage alerts (values only this program writes, each only while set).
  s.UsageAlertLevel1 = std::clamp(r.Integer("UsageAlertLevel1", 0), 0, 100);
  s.UsageAlertLevel2 = std::clamp(r.Integer("UsageAlertLevel2", 0), 0, 100);
  s.UsageAlertPace = r.Bool("UsageAlertPace", false);
  s.UsageAlertsTold = ParseMessageReferences(r.String("UsageAlertsTold"));
  s.NoTrayToldOnce = r.Bool("NoTrayTold", false);
  s.OwnPopups = r.Bool("OwnPopups", false);

  // 20.
  if (autostart_.Exists()) s.RunOnStartup = true;
}

void TSettingsStore::LoadMailboxes(TSettings& s) {
  s.Mailboxes.clear();
  TRegistry reg(registry_);
  if (!reg.OpenKeyReadOnly(std::string(kSettingsKey) + "Email")) return;
  for (const std::string& name : reg.GetKeyNames()) {
    TRegistry sub(registry_);
    if (!sub.OpenKeyReadOnly(MailboxKey(name))) continue;
    const Reader r(sub);
    // "b3InKeyring": the password is in the desktop's keyring.
    if (!r.Has("b3") && !r.Has(KeyringMarker("b3").c_str())) continue;
    const std::string path = MailboxKey(name) + "\\";
    const bool held = !r.Has("b3") && secrets_;
    s.Mailboxes.push_back({name, ReadPassword(sub, path, "b3"), r.String("LastUIDL")});
    if (held) mailboxKeys_.insert(path + "b3");
  }
}

void TSettingsStore::LoadRadioList(TSettings& s) {
  s.RadioChannels.clear();
  TRegistry reg(registry_);
  if (!reg.OpenKeyReadOnly(std::string(kSettingsKey) + "Radio")) return;
  // A key without "order" (every key of a hive written before channels
  // kept their place) comes after the others, in the order the keys
  // enumerate.
  std::vector<std::pair<int64_t, TRadioChannel>> channels;
  for (const std::string& name : reg.GetKeyNames()) {
    TRegistry sub(registry_);
    if (!sub.OpenKeyReadOnly(RadioKey(name))) continue;
    const Reader r(sub);
    if (!r.Has("address")) continue;
    const int64_t order = r.Has("order") ? r.Integer("order", 0) : int64_t{1} << 32;
    channels.push_back({order, {r.String("caption", name), r.String("address")}});
  }
  std::stable_sort(channels.begin(), channels.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [order, channel] : channels) s.RadioChannels.push_back(std::move(channel));
}

bool TSettingsStore::SaveSettings(const TSettings& s) {
  if (s.CommandLineCredentials) return true;
  try {
    TRegistry reg(registry_);
    if (!reg.OpenKey(kSettingsKey, true)) return false;
    reg.WriteInteger("posx", s.PosX);
    reg.WriteInteger("posy", s.PosY);
    reg.WriteString("NetworkAdaptor", s.NetworkAdaptor);
    if (reg.ValueExists("accountType")) {
      reg.WriteInteger("accountType", s.AccountType);
    } else {
      SaveAccount(s.AccountType, s.AccountName, s.Password);
      reg.OpenKey(kSettingsKey, true);
    }
    // The stored account passwords (saved on their own after an update)
    // move to the keyring as they are.
    if (secrets_) {
      for (const char* name : kPasswordNames) {
        if (!reg.ValueExists(name)) continue;
        StorePassword(reg, kSettingsKey, name, ReadPassword(reg, kSettingsKey, name));
      }
    }
    reg.WriteString("ClientNo", s.ClientNo);
    reg.WriteBool("StartMimimized", s.StartMinimized);
    reg.WriteBool("StayOnTop", s.StayOnTop);
    reg.WriteBool("UseProxy", s.UseProxy);
    reg.WriteBool("HideAdvisoryTips", s.HideAdvisoryTips);
    reg.WriteInteger("TrayFontColor", static_cast<int32_t>(s.TrayFontColor));
    reg.WriteBool("TrayFontColorChosen", s.TrayFontColorChosen);
    reg.WriteInteger("StartDelay", s.StartDelay);
    reg.WriteBool("CheckEmail", s.CheckEmail);
    reg.WriteBool("CheckForUpdates", s.CheckForUpdates);
    reg.WriteString("ProxyAddress", s.ProxyAddress);
    reg.WriteInteger("ProxyPort", s.ProxyPort);
    StorePassword(reg, kSettingsKey, "b4", s.ProxyPassword);
    reg.WriteString("ProxyUsername", s.ProxyUsername);
    reg.WriteString("RadioPlayer", s.RadioPlayer);
    reg.WriteBool("ShowHistoryTotals", s.ShowHistoryTotals);
    reg.WriteBool("ShowHistoryDownloads", s.ShowHistoryDownloads);
    reg.WriteBool("ShowHistoryUploads", s.ShowHistoryUploads);
    reg.WriteDateTime("CallhavenDate", s.CallhavenDate);
    reg.WriteString("CallhavenNo1", s.CallhavenNo1);
    StorePassword(reg, kSettingsKey, "CallhavenNo2", s.CallhavenNo2);
    reg.WriteBool("CallhavenVisible", s.CallhavenVisible);
    reg.WriteInteger("LanScaleIn", s.LanScaleIn);
    reg.WriteInteger("LanScaleOut", s.LanScaleOut);
    reg.WriteBool("SpeedInBytes", s.SpeedInBytes);
    if (s.SeenNoticeRefs.empty()) {
      reg.DeleteValue("MessageReferences");
    } else {
      reg.WriteString("MessageReferences", FormatMessageReferences(s.SeenNoticeRefs));
    }
    reg.WriteString("HashList", FormatMessageReferences(s.HashList));
    // Written only while set, so a hive that never used them stays as it was.
    const auto integerOrNone = [&reg](const char* name, int value) {
      if (value != 0) {
        reg.WriteInteger(name, value);
      } else {
        reg.DeleteValue(name);
      }
    };
    integerOrNone("UsageAlertLevel1", s.UsageAlertLevel1);
    integerOrNone("UsageAlertLevel2", s.UsageAlertLevel2);
    if (s.UsageAlertPace) {
      reg.WriteBool("UsageAlertPace", true);
    } else {
      reg.DeleteValue("UsageAlertPace");
    }
    if (s.UsageAlertsTold.empty()) {
      reg.DeleteValue("UsageAlertsTold");
    } else {
      reg.WriteString("UsageAlertsTold", FormatMessageReferences(s.UsageAlertsTold));
    }
    if (s.NoTrayToldOnce) {
      reg.WriteBool("NoTrayTold", true);
    } else {
      reg.DeleteValue("NoTrayTold");
    }
    if (s.OwnPopups) {
      reg.WriteBool("OwnPopups", true);
    } else {
      reg.DeleteValue("OwnPopups");
    }

    if (s.RunOnStartup) {
      autostart_.Enable(programPath_);
    } else {
      autostart_.Disable();
    }

    reg.DeleteKey(std::string(kSettingsKey) + "Email");
    std::set<std::string> mailboxKeys;
    for (const auto& m : s.Mailboxes) {
      const std::string path = MailboxKey(m.Name) + "\\";
      // A mailbox whose password the keyring would not give at load keeps
      // its entry there untouched.
      const bool unread = m.Password.empty() && unreadable_.count(path + "b3");
      if (m.Name.empty() || (m.Password.empty() && !unread)) continue;
      TRegistry sub(registry_);
      if (!sub.OpenKey(MailboxKey(m.Name), true)) continue;
      if (StorePassword(sub, path, "b3", m.Password)) mailboxKeys.insert(path + "b3");
      sub.WriteString("LastUIDL", m.LastUidl);
    }
    // The keyring entries of mailboxes that are gone.
    for (const std::string& key : mailboxKeys_)
      if (!mailboxKeys.count(key) && secrets_) {
        secrets_->Remove(key);
        held_.erase(key);
      }
    mailboxKeys_ = std::move(mailboxKeys);
    // One key per channel with an address, whatever its caption, and its
    // place in the list, so equal captions, a backslash or no caption at
    // all lose nothing.
    reg.DeleteKey(std::string(kSettingsKey) + "Radio");
    int32_t order = 0;
    for (const auto& c : s.RadioChannels) {
      if (c.Address.empty()) continue;
      const std::string name = RadioKeyName(registry_, c.Name);
      TRegistry sub(registry_);
      if (!sub.OpenKey(RadioKey(name), true)) continue;
      sub.WriteString("address", c.Address);
      if (name != c.Name) sub.WriteString("caption", c.Name);
      sub.WriteInteger("order", order++);
    }
  } catch (const ERegistryException&) {
    registry_.Flush();
    return false;
  }
  return registry_.Flush();
}

void TSettingsStore::AccountTypeChanged(TSettings& s, int newType) {
  s.AccountType = newType;
  std::string name, password;
  if (LoadAccount(newType, name, password)) {
    s.AccountName = name;
    s.Password = password;
  }
}

bool TSettingsStore::CredentialsEdited(const TSettings& s) {
  if (s.AccountName.empty() || s.Password.empty()) {
    // A run with the account on its command line never writes a setting.
    if (!s.CommandLineCredentials) SaveAccount(s.AccountType, "", "");
    return false;
  }
  return true;
}

}  // namespace qgm
