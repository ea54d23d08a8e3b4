// The hive file as it may be found on disk: parsing never fails badly, a
// parsed hive formats into text that parses back to the same text, and the
// settings load over it copes with whatever values it holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/platform/HiveFile.h"
#include "core/settings/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  qgm::TRegistryStore store;
  std::string error;
  if (!qgm::THiveFile::Parse(text, store, error)) return 0;
  const std::string formatted = qgm::THiveFile::Format(store);
  qgm::TRegistryStore again;
  if (!qgm::THiveFile::Parse(formatted, again, error)) __builtin_trap();
  if (qgm::THiveFile::Format(again) != formatted) __builtin_trap();

  qgm::TAutostart autostart{std::filesystem::path("/nonexistent-qgm-autostart")};
  qgm::TDebugLog log;
  qgm::TSettingsStore settings(again, autostart, log, "qgm");
  qgm::TSettings s;
  qgm::TStartupContext context;
  context.WindowWidth = 300;
  context.WindowHeight = 200;
  context.WorkArea = [](const qgm::TRect&) { return qgm::TRect{0, 0, 1024, 768}; };
  settings.LoadSettings(s, context);
  settings.LoadMailboxes(s);
  settings.LoadRadioList(s);
  return 0;
}
