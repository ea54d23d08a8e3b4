#pragma once
// The About tab's services: the check for a newer release with its notice
// and the hand-over of the downloaded file to the updater, and the check
// of the computer's clock against the provider's time server.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/net/NetContext.h"
#include "core/net/UsageRequest.h"
#include "core/usage/Notices.h"
#include "core/util/DateTime.h"

namespace qgm {

class IMaintenanceView {
 public:
  virtual ~IMaintenanceView() = default;
  // The version label: clickable (link colour, hand cursor, a click asks
  // for ManualVersionCheck) or not (maroon, plain cursor).
  virtual void SetVersionLink(const std::string& text, bool clickable) = 0;
  virtual void SetClockState(const std::string& text) = 0;
  // Lets the window show what changed before a call that blocks.
  virtual void LetPendingEventsRun() = 0;
};

struct TMaintenanceConfig {
  std::string HomeSite;  // the update folder: "version" and the update files
  std::string TimeHost;  // "host" or "host:port" (37)
  TNetContext* Context = nullptr;
  std::function<TProxySettings()> Proxy;  // read at each request
  std::function<TDateTime()> Now;         // local time
  std::filesystem::path DataFolder;       // where an update is saved
  std::string ProgramPath;                // the running program, for the updater
  std::function<void()> AcknowledgeAlert;
  // Starts the updater with the two paths; false when it could not start.
  std::function<bool(const std::string& program, const std::string& update)> StartUpdater;
  // Saves the settings, closes the window and ends the program.
  std::function<void()> Quit;
};

inline constexpr const char* kCheckVersionText = "Check if there's a newer version";
inline constexpr const char* kCheckingVersionText = " Checking for a newer version ... ";
inline constexpr const char* kLatestVersionText = "This is the latest version";
inline constexpr const char* kUpdateCaption = "A new QGM update is available";

// Whether the update cycle checks for a release by itself: the Setup tab's
// box ticked, exactly one copy of the program running, and the user an
// administrator.
bool AutomaticVersionCheckAllowed(bool checkForUpdates, int runningCopies, bool administrator);

class TMaintenance {
 public:
  TMaintenance(TMaintenanceConfig config, IMaintenanceView& view, INoticeSink& notices);

  void ResetVersionLink();
  // A click on the version label.
  void ManualVersionCheck();
  // Fetches the version file; true (with the update notice shown) when it
  // names a newer release. Any failure is silent and gives false.
  bool CheckForNewVersion();
  // The version file's body; nothing when it could not be fetched, and
  // then `failure` (when given) holds why: the error or the status line.
  std::optional<std::string> FetchVersionFile(std::string* failure = nullptr);
  const std::string& UpdateFileName() const { return updateFileName_; }
  // The notice's link: fetches the update into the data folder, starts the
  // updater with it and ends the program. A name that is not a plain file
  // name is never fetched; when nothing could be saved the program keeps
  // running and a notice says why.
  void DownloadUpdate();
  // The clock line; returns the offset in seconds (now minus the server's
  // time), or nothing when the server gave no time.
  std::optional<double> CheckClock();

 private:
  TMaintenanceConfig config_;
  IMaintenanceView& view_;
  INoticeSink& notices_;
  std::string updateFileName_;
};

// The time server's answer as local time; 0 when there is none.
TDateTime AskTimeServer(const std::string& hostAndPort, TNetContext* context);

}  // namespace qgm
