#pragma once
// The usage API conversation of one update: the service list (with the
// provider's notices), the usage, the plan details and the history request,
// each reply parsed with the program's own XML parser.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/net/UsageRequest.h"
#include "core/usage/Notices.h"
#include "core/usage/UsageRecord.h"

namespace qgm {

// The provider's customer API; a configuration value.
inline constexpr const char* kDefaultApiBase = "https://api.corvalink.com/api/v1.5/";
// The most of one server field a one-line label shows (the plan details,
// the public address, the spam status).
inline constexpr size_t kLabelTextLimit = 255;

enum TAccountType : int { kAccountHome = 0, kAccountBusiness = 1, kAccountRoamMobile = 2 };

struct TUsageAccount {
  std::string Name;  // exactly as typed; also the prefix of the data files
  std::string Password;
  int AccountType = kAccountHome;
};

struct TUsageServiceConfig {
  std::string ApiBase = kDefaultApiBase;  // ends with "/"
  TUsageRequestConfig Request;
  std::filesystem::path DataFolder;  // where the usage and service files go; empty: none
};

struct TUsageFetchResult {
  bool Ok = false;
  std::string FailureText;  // the error message or the reply of the failing step
  std::string UsageLine;
  int ParseCode = kUsageNothing;
  bool NoNotice = false;  // the service list carried no "notify" element
};

// What the plan details give the Broadband and Setup views.
// The data file "<folder>/<account name><suffix>"; empty when there is no
// folder or the name could lead out of it.
std::filesystem::path AccountDataFile(const std::filesystem::path& folder,
                                      const std::string& accountName, std::string_view suffix);

struct TServiceDetails {
  bool Received = false;     // false: the request failed, the texts stay empty
  std::string SpeedCaption;  // "SIM Id:" or "Maximum Speed"
  std::string Speed;         // speed, or the SIM identifier
  std::string Plan;          // without a leading "Quarterly "
  bool UploadsMetered = false;
  std::string UploadsCounted;  // "Yes" / "No"
  std::string Carrier;
  std::string Shaping;
  std::string Capped;
  std::string ExcessFee;  // "<cost> $/megabyte" or "Nil"
  std::string PlanCost;   // "$59.95", or "$59.95 monthly"
  std::string Summary;    // the service summary file's text
};

class TUsageService {
 public:
  TUsageService(TUsageServiceConfig config, INoticeSink& notices);

  // The service list, the notices, the service choice and the usage, up to
  // the usage record (ParseUsageLine as of `now`). Writes the usage file.
  TUsageFetchResult FetchUsage(const TUsageAccount& account,
                               const std::vector<std::string>& seenNoticeRefs, TDateTime now,
                               TUsageRecord& record);

  // The plan details of the chosen service; writes the service summary file
  // after a good reply.
  TServiceDetails FetchServiceDetails(const TUsageAccount& account);

  // The history request for `days` days; false (with the failure text in
  // `body`) when it fails or no service is known.
  bool FetchHistory(const TUsageAccount& account, int days, std::string& body);

  const std::string& ServiceId() const { return serviceId_; }
  bool UploadsMetered() const { return uploadsMetered_; }
  const TUsageServiceConfig& Config() const { return config_; }
  // The Setup tab's proxy settings, for the requests from now on.
  void SetProxy(const TProxySettings& proxy) { config_.Request.Proxy = proxy; }

  // The shortest general form of a megabyte figure (up to 15 significant
  // digits, "." as decimal separator): 1234.56789, 0.
  static std::string FormatMegabytes(long double mb);
  // Reads a service-list reply: raises its notices through `sink` and gives
  // the chosen service's identifier (empty when it names none). `noNotice`
  // tells whether the reply carried no "notify" element.
  static std::string ReadServiceList(const std::string& reply, int accountType,
                                     const std::vector<std::string>& seenNoticeRefs,
                                     INoticeSink& sink, bool& noNotice);
  // The usage line for a usage reply, or empty when it has no total traffic.
  static std::string UsageLineFromReply(const std::string& reply);
  // The details read from a service-details reply.
  static TServiceDetails DetailsFromReply(const std::string& reply, int accountType);

 private:
  bool Get(const TUsageAccount& account, const std::string& relative, int tries, std::string& out);
  void WriteDataFile(const TUsageAccount& account, const char* suffix, const std::string& text);

  TUsageServiceConfig config_;
  INoticeSink& notices_;
  std::string serviceId_;
  bool uploadsMetered_ = false;
};

}  // namespace qgm
