#pragma once
// Where the provider's services live. Defaults name the real provider; a
// configuration file or command-line options point the program elsewhere.
//
// The file holds "key = value" lines; blank lines and lines starting with
// "#" are ignored. Keys: api-base, feeds-url, home-site, mail-host,
// voicemail-sender, time-host, mirror-host, ca-file, and the pages the
// provider tab links to: web-site, webmail, mail-config-site,
// customer-site, forum-board.

#include <filesystem>
#include <string>
#include <utility>

namespace qgm {

struct TEndpoints {
  std::string ApiBase = "https://api.corvalink.com/api/v1.5/";
  std::string FeedsUrl = "http://www.corvalink.com/network-status.rss";
  // The program's home page, which also holds its "version" file, the
  // update files and the notice file.
  std::string HomeSite = "https://qgm.corvalink.com/";
  std::string MailHost = "securemail.corvalink.com";  // POP3 over TLS; ":port" optional (995)
  std::string VoicemailSender = "voicemail@callhaven.corvalink.com";
  std::string TimeHost = "time.corvalink.com";
  std::string MirrorHost = "mirror.corvalink.com";
  std::string CaFile;  // further trusted CAs (PEM); empty: the system's only
  // The provider's pages.
  std::string WebSite = "http://www.corvalink.com/";
  std::string Webmail = "https://webmail.corvalink.com/";
  std::string MailConfigSite = "https://mailconfig.corvalink.com/";
  std::string CustomerSite = "https://secure.corvalink.com/";
  std::string ForumBoard = "https://forums.corvalink-users.net/";
};

// The customer API host, "https://host[:port]", from the API base address.
std::string ApiHostOf(const std::string& apiBase);

// "host" or "host:port" (a port of up to five digits) as host and port;
// `defaultPort` when none is given.
std::pair<std::string, int> SplitHostPort(const std::string& hostAndPort, int defaultPort);

// The configuration file in a settings folder (TFolders::Config):
// "endpoints.conf"; empty when there is no settings folder.
std::filesystem::path EndpointsFileIn(const std::filesystem::path& configFolder);

// Applies the file's settings over `endpoints`. A missing file changes
// nothing; returns false with a message for a file that cannot be read or
// holds an unknown key or a line without "=".
bool LoadEndpoints(const std::filesystem::path& file, TEndpoints& endpoints, std::string& error);

}  // namespace qgm
