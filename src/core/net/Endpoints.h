#pragma once
// Where the provider's services live. Defaults name the real provider; a
// configuration file or command-line options point the program elsewhere.
//
// The file holds "key = value" lines; blank lines and lines starting with
// "#" are ignored. Keys: api-base, feeds-url, home-site, mail-host,
// voicemail-sender, time-host, mirror-host, ca-file.

#include <filesystem>
#include <string>

namespace qgm {

struct TEndpoints {
  std::string ApiBase = "https://api.corvalink.com/api/v1.5/";
  std::string FeedsUrl = "http://www.corvalink.com/advisories/feed.xml";
  std::string HomeSite = "http://qgm.corvalink.com/";
  std::string MailHost = "securemail.corvalink.com";  // POP3 over TLS; ":port" optional (995)
  std::string VoicemailSender = "voicemail@callhaven.corvalink.com";
  std::string TimeHost = "time.corvalink.com";
  std::string MirrorHost = "mirror.corvalink.com";
  std::string CaFile;  // further trusted CAs (PEM); empty: the system's only
};

// The customer API host, "https://host[:port]", from the API base address.
std::string ApiHostOf(const std::string& apiBase);

// The configuration file in a settings folder (TFolders::Config):
// "endpoints.conf"; empty when there is no settings folder.
std::filesystem::path EndpointsFileIn(const std::filesystem::path& configFolder);

// Applies the file's settings over `endpoints`. A missing file changes
// nothing; returns false with a message for a file that cannot be read or
// holds an unknown key or a line without "=".
bool LoadEndpoints(const std::filesystem::path& file, TEndpoints& endpoints, std::string& error);

}  // namespace qgm
