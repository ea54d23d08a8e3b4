#include "core/about/Maintenance.h"

#include "core/about/ClockCheck.h"
#include "core/about/VersionCheck.h"
#include "core/net/Endpoints.h"
#include "core/net/HttpClient.h"
#include "core/net/NetErrors.h"
#include "core/net/TimeClient.h"
#include "core/platform/FileIo.h"

namespace qgm {

namespace {

constexpr const char* kUpdateBody =
    "Click the link below to download and install the new update.\n"
    "Note: If you have a software firewall installed, you'll also need to update its settings so "
    "it accepts the new QGM as a trusted application. If you forget to do this, QGM will no "
    "longer be able to check your usage and will report \"Socket Error\" messages.";

// The update files are small programs; anything far larger is not one.
constexpr size_t kMaxUpdateBytes = 256u * 1024 * 1024;

}  // namespace

bool AutomaticVersionCheckAllowed(bool checkForUpdates, int runningCopies, bool administrator) {
  return checkForUpdates && runningCopies == 1 && administrator;
}

TDateTime AskTimeServer(const std::string& hostAndPort, TNetContext* context) {
  TTimeClient client(context ? *context : TNetContext::Default());
  std::tie(client.Host, client.Port) = SplitHostPort(hostAndPort, client.Port);
  const TDateTime answer = client.DateTime();
  client.Disconnect();
  return answer;
}

TMaintenance::TMaintenance(TMaintenanceConfig config, IMaintenanceView& view, INoticeSink& notices)
    : config_(std::move(config)), view_(view), notices_(notices) {}

void TMaintenance::ResetVersionLink() {
  view_.SetVersionLink(kCheckVersionText, true);
}

void TMaintenance::ManualVersionCheck() {
  view_.SetVersionLink(kCheckingVersionText, false);
  view_.LetPendingEventsRun();
  view_.SetVersionLink(CheckForNewVersion() ? " " : kLatestVersionText, false);
}

namespace {

// GET with the user's proxy; the body of a 2xx reply, else nothing.
// Nothing when the file did not come; then `failure` (when given) says why.
std::optional<std::string> Fetch(const TMaintenanceConfig& config, const std::string& url,
                                 size_t maxBytes = THttpClient::kDefaultMaxBody, int deadlineMs = 0,
                                 std::string* failure = nullptr) {
  THttpClient client(config.Context ? *config.Context : TNetContext::Default());
  client.UserAgent = UserAgent();
  client.ReadTimeoutMs = 30000;  // as the program's other long-lived clients
  client.MaxBodyBytes = maxBytes;
  client.DeadlineMs = deadlineMs;
  if (config.Proxy) ApplyProxySettings(client, config.Proxy());
  try {
    std::string body = client.Get(url);
    client.Disconnect();
    // An error page (500) is not the file asked for.
    if (client.ResponseCode() < 200 || client.ResponseCode() > 299) {
      if (failure) *failure = client.StatusLine();
      return std::nullopt;
    }
    return body;
  } catch (const ENetError& e) {
    client.Disconnect();
    if (failure) *failure = e.what();
    return std::nullopt;
  }
}

}  // namespace

std::optional<std::string> TMaintenance::FetchVersionFile(std::string* failure) {
  return Fetch(config_, config_.HomeSite + "version", 64 * 1024, 0, failure);
}

bool TMaintenance::CheckForNewVersion() {
  updateFileName_.clear();
  const auto body = FetchVersionFile();
  if (!body) return false;
  updateFileName_ = *body;
  if (!IsNewerVersion(VersionLabel(), *body)) return false;
  TNoticeRequest n;
  n.Caption = kUpdateCaption;
  n.Body = kUpdateBody;
  n.LinkCaption = "Click here to download";
  n.OnLinkClick = [this] { DownloadUpdate(); };
  notices_.ShowNotice(n);
  return true;
}

void TMaintenance::DownloadUpdate() {
  if (updateFileName_.empty()) return;
  if (config_.AcknowledgeAlert) config_.AcknowledgeAlert();
  std::string failure;
  std::filesystem::path saved;
  if (!IsSafeUpdateFileName(updateFileName_)) {
    failure = "the home site offered it under a name that is not a plain file name";
  } else if (const auto body = Fetch(config_, config_.HomeSite + updateFileName_, kMaxUpdateBytes,
                                     THttpClient::kNoDeadline);
             !body || body->empty()) {
    failure = "the home site did not send it";
  } else if (saved = config_.DataFolder / updateFileName_; !WriteFileAtomic(saved, *body)) {
    failure = "it could not be saved in " + config_.DataFolder.string();
  } else if (!config_.StartUpdater || !config_.StartUpdater(config_.ProgramPath, saved.string())) {
    failure = "it was saved as " + saved.string() + ", but the updater could not start";
  }
  if (failure.empty()) {
    if (config_.Quit) config_.Quit();
    return;
  }
  TNoticeRequest n;
  n.Caption = kNoticeCaption;
  n.Body = "The QGM update could not be downloaded: " + failure + ".";
  notices_.ShowNotice(n);
}

std::optional<double> TMaintenance::CheckClock() {
  const TDateTime answer = AskTimeServer(config_.TimeHost, config_.Context);
  const TDateTime now = config_.Now ? config_.Now() : NowLocal();
  view_.SetClockState(ShownClockStateText(now, answer));
  if (answer == 0) return std::nullopt;
  return (now - answer) * 86400.0;
}

}  // namespace qgm
