#include "core/net/FtpClient.h"

#include <curl/curl.h>

#include <memory>

namespace qgm {

struct FtpTransfer {
  TFtpClient& client;
  CURL* curl;
  std::string data;
  bool begun = false;
  bool tooLarge = false;

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
  CURL* curl = curl_easy_init();
  if (!curl) throw ENetError("Out of memory");
  const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> guard(curl, &curl_easy_cleanup);
  FtpTransfer t{*this, curl, {}};
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  const std::string url = "ftp://" + Host + ":" + std::to_string(Port) + "/" + path + file;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(curl, CURLOPT_USERPWD, "anonymous:");
  curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
  curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 0L);  // plain PASV
  curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);  // binary
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(ReceiveBufferBytes));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FtpTransfer::OnData);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &FtpTransfer::OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  const CURLcode rc = curl_easy_perform(curl);
  if (aborted_) throw EFtpAborted();
  if (t.tooLarge) throw ENetError("Response too large");
  if (rc != CURLE_OK) throw ENetError(error[0] ? error : curl_easy_strerror(rc));
  if (!t.begun) t.Begin();  // an empty file
  return std::move(t.data);
}

}  // namespace qgm
