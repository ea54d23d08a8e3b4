#include "core/net/FtpClient.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <set>

namespace qgm {
namespace {

// The one address `host` resolves to, as text; empty when it is numeric
// already, does not resolve, or resolves to several (then libcurl races
// them as usual).
std::string SoleAddressOf(const std::string& host) {
  in6_addr probe{};
  if (inet_pton(AF_INET, host.c_str(), &probe) == 1 ||
      inet_pton(AF_INET6, host.c_str(), &probe) == 1)
    return {};
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0) return {};
  std::set<std::string> addresses;
  for (addrinfo* ai = list; ai; ai = ai->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw =
        ai->ai_family == AF_INET
            ? static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(ai->ai_addr)->sin_addr)
            : static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(ai->ai_addr)->sin6_addr);
    if (inet_ntop(ai->ai_family, raw, text, sizeof text)) addresses.insert(text);
  }
  freeaddrinfo(list);
  return addresses.size() == 1 ? *addresses.begin() : std::string();
}

}  // namespace

struct FtpTransfer {
  TFtpClient& client;
  CURL* curl;
  std::string data;
  bool begun = false;
  bool tooLarge = false;
  std::string lastReply;  // the server's latest control reply line

  static size_t OnReply(char* ptr, size_t size, size_t count, void* user) {
    const size_t n = size * count;
    std::string line(ptr, n);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    line.resize(std::min<size_t>(line.size(), 512));
    // The reply may end up as the reason a download failed, printed on a
    // terminal or shown in a label: the server's text, not its escapes.
    for (char& c : line) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    }
    static_cast<FtpTransfer*>(user)->lastReply = line;
    return n;
  }

  static size_t OnData(char* ptr, size_t size, size_t count, void* user) {
    auto* t = static_cast<FtpTransfer*>(user);
    const size_t n = size * count;
    if (t->client.aborted_) return 0;
    if (!t->begun) t->Begin();
    if (t->data.size() + n > t->client.MaxBytes) {
      t->tooLarge = true;
      return 0;
    }
    t->data.append(ptr, n);
    if (t->client.OnWork) t->client.OnWork(static_cast<int64_t>(t->data.size()));
    return n;
  }

  static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<FtpTransfer*>(user)->client.aborted_ ? 1 : 0;
  }

  void Begin() {
    begun = true;
    curl_off_t size = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    if (client.OnWorkBegin) client.OnWorkBegin(size);
  }
};

std::string TFtpClient::Retrieve(const std::string& folder, const std::string& file) {
  // An abort asked for before the transfer began ends it too.
  if (aborted_) throw EFtpAborted();
  RefuseLineBreaks(Host, "host name");
  RefuseLineBreaks(folder, "folder");
  RefuseLineBreaks(file, "file name");
  // Outlives the handle that refers to it.
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> resolve(nullptr,
                                                                      &curl_slist_free_all);
  CURL* curl = curl_easy_init();
  if (!curl) throw ENetError("Out of memory");
  const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> guard(curl, &curl_easy_cleanup);
  FtpTransfer t{*this, curl, {}, false, false, {}};
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  const std::string url = "ftp://" + Host + ":" + std::to_string(Port) + "/" + path + file;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  // A name with one address is connected to straight away, without the
  // resolver's second round and the address-family race that can hold up
  // the first connection.
  if (const std::string sole = SoleAddressOf(Host); !sole.empty()) {
    const std::string entry = Host + ":" + std::to_string(Port) + ":" +
                              (sole.find(':') != std::string::npos ? "[" + sole + "]" : sole);
    resolve.reset(curl_slist_append(nullptr, entry.c_str()));
    curl_easy_setopt(curl, CURLOPT_RESOLVE, resolve.get());
  }
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(curl, CURLOPT_USERPWD, "anonymous:");
  curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
  curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);  // plain PASV
  curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);  // binary
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeoutMs));
  // The control connection's replies and the data alike: silence ends it.
  const long silenceSeconds = std::max(1L, (static_cast<long>(ReadTimeoutMs) + 999) / 1000);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, silenceSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, silenceSeconds);
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(ReceiveBufferBytes));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FtpTransfer::OnData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &FtpTransfer::OnReply);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &FtpTransfer::OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  const CURLcode rc = curl_easy_perform(curl);
  if (aborted_) throw EFtpAborted();
  if (t.tooLarge) throw ENetError("Response too large");
  // Timed out once connected: the server went silent. (A connection made
  // on loopback can take no measurable time, so the count of connections
  // says it, not the time taken.)
  // 421, the server closing the session (too many users, shutting down,
  // idle too long), is its own word on why, though libcurl calls it a
  // time-out.
  long code = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
  if (rc != CURLE_OK && code == 421) throw ENetError(t.lastReply.empty() ? "421" : t.lastReply);
  long connections = 0;
  curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connections);
  if (rc == CURLE_OPERATION_TIMEDOUT && connections > 0) throw ENetError(kReadTimeout);
  if (rc != CURLE_OK) throw ENetError(error[0] ? error : curl_easy_strerror(rc));
  if (!t.begun) t.Begin();  // an empty file
  return std::move(t.data);
}

}  // namespace qgm
