#include "core/net/HttpClient.h"

#include <curl/curl.h>
#include <openssl/ssl.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "core/net/NetErrors.h"
#include "core/util/Text.h"

namespace qgm {

namespace {

using Clock = std::chrono::steady_clock;
// Well inside the 250 ms the window may go without its events, with room
// for the events themselves and a late wake-up.
constexpr int kIdleSliceMs = 100;

// The second word of a status line as a number, -1 when it is none.
int StatusCodeOf(const std::string& statusLine) {
  const auto sp = statusLine.find(' ');
  if (sp == std::string::npos) return -1;
  const auto end = statusLine.find(' ', sp + 1);
  const std::string word = statusLine.substr(sp + 1, end == std::string::npos ? end : end - sp - 1);
  if (word.empty() || word.size() > 9) return -1;
  for (char c : word) {
    if (c < '0' || c > '9') return -1;
  }
  return std::atoi(word.c_str());
}

CURLcode InstallCertStore(CURL*, void* sslCtx, void* userData) {
  auto* store = static_cast<X509_STORE*>(userData);
  if (store) SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(sslCtx), store);
  return CURLE_OK;
}

}  // namespace

// The state of one GET while it runs.
struct HttpTransfer {
  THttpClient& client;
  std::string body;
  bool tooLarge = false;
  Clock::time_point lastData = Clock::now();

  static size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<HttpTransfer*>(user);
    const size_t n = size * count;
    t->lastData = Clock::now();
    if (t->body.size() + n > t->client.MaxBodyBytes) {
      t->tooLarge = true;
      return 0;  // makes libcurl fail the transfer
    }
    if (t->body.empty()) t->ReserveForLength();
    t->body.append(data, n);
    return n;
  }

  // Room for the announced body at once, instead of growing by doubling
  // (which holds the old and the new buffer together at each step). A
  // length beyond the cap is not believed: the body grows as it comes.
  void ReserveForLength() {
    const std::string length = client.Header("Content-Length");
    if (length.empty() || length.size() > 12) return;
    size_t announced = 0;
    for (char c : length) {
      if (c < '0' || c > '9') return;
      announced = announced * 10 + static_cast<size_t>(c - '0');
    }
    constexpr size_t kMaxReserve = 16u << 20;
    if (announced <= std::min(client.MaxBodyBytes, kMaxReserve)) body.reserve(announced);
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<HttpTransfer*>(user);
    const size_t n = size * count;
    t->lastData = Clock::now();
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
      // A new reply (after an interim 1xx, or the first): start afresh.
      t->client.statusLine_ = line;
      t->client.responseCode_ = StatusCodeOf(line);
      t->client.headers_.clear();
    } else if (const auto colon = line.find(':'); colon != std::string::npos) {
      t->client.headers_.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    }
    return n;
  }
};

THttpClient::THttpClient(TNetContext& context) : context_(context) {}

THttpClient::~THttpClient() = default;

void THttpClient::Disconnect() {
  // Each request's handle and connection end with the request.
}

std::string THttpClient::Header(const std::string& name) const {
  for (const auto& [key, value] : headers_) {
    if (SameTextIgnoringCase(key, name)) return value;
  }
  return {};
}

void THttpClient::KeepCookies(void* handle) {
  curl_slist* list = nullptr;
  if (curl_easy_getinfo(static_cast<CURL*>(handle), CURLINFO_COOKIELIST, &list) != CURLE_OK) return;
  cookies_.clear();
  for (curl_slist* c = list; c; c = c->next) cookies_.emplace_back(c->data);
  curl_slist_free_all(list);
}

void THttpClient::CheckHeaderValues(const std::string& url) const {
  RefuseLineBreaks(url, "address");
  RefuseLineBreaks(UserAgent, "user agent");
  RefuseLineBreaks(Accept, "Accept header");
  RefuseLineBreaks(ContentType, "Content-Type header");
  for (const std::string& line : CustomHeaders) RefuseLineBreaks(line, "request header");
  if (BasicAuthentication) {
    RefuseLineBreaks(Username, "user name");
    RefuseLineBreaks(Password, "password");
  }
  if (!Proxy.Server.empty()) {
    RefuseLineBreaks(Proxy.Server, "proxy server");
    if (Proxy.BasicAuthentication) {
      RefuseLineBreaks(Proxy.Username, "proxy user name");
      RefuseLineBreaks(Proxy.Password, "proxy password");
    }
  }
}

std::string THttpClient::Get(const std::string& url) {
  responseCode_ = -1;
  statusLine_.clear();
  headers_.clear();
  // Before any connection: nothing of such a request is sent.
  CheckHeaderValues(url);

  // The handle lives for this request only: its error buffer, body and
  // header targets and header list all point into this call.
  CURL* curl = curl_easy_init();
  if (!curl) throw ENetError("Out of memory");
  const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curlGuard(curl, &curl_easy_cleanup);
  HttpTransfer transfer{*this, {}};

  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, AllowTls ? "http,https" : "http");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpTransfer::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &HttpTransfer::OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MaxBodyBytes));
  if (!UserAgent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, UserAgent.c_str());
  if (AllowCookies) {
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    // The cookies of this client's earlier replies.
    for (const std::string& cookie : cookies_)
      curl_easy_setopt(curl, CURLOPT_COOKIELIST, cookie.c_str());
  }

  // TLS: verify the server against the shared store, TLS 1.2 or newer.
  curl_easy_setopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (X509_STORE* store = context_.CertStore()) {
    // The store already holds the system CAs; stop libcurl loading them again.
    curl_easy_setopt(curl, CURLOPT_CAINFO, nullptr);
    curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &InstallCertStore);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, store);
  }
  if (context_.Share()) curl_easy_setopt(curl, CURLOPT_SHARE, context_.Share());

  if (BasicAuthentication) {
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_USERNAME, Username.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, Password.c_str());
  }
  // An empty proxy also keeps libcurl from taking one from the environment.
  const std::string proxy =
      Proxy.Server.empty() ? std::string() : Proxy.Server + ":" + std::to_string(Proxy.Port);
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
  if (!proxy.empty() && Proxy.BasicAuthentication) {
    curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, Proxy.Username.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, Proxy.Password.c_str());
  }

  curl_slist* headerList = nullptr;
  if (!Accept.empty()) headerList = curl_slist_append(headerList, ("Accept: " + Accept).c_str());
  if (!ContentType.empty()) {
    headerList = curl_slist_append(headerList, ("Content-Type: " + ContentType).c_str());
  }
  for (const auto& line : CustomHeaders) headerList = curl_slist_append(headerList, line.c_str());
  const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headersGuard(
      headerList, &curl_slist_free_all);
  if (headerList) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);

  char errorText[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);

  // Drive the transfer in slices so the idle hook runs while it waits.
  CURLM* multi = curl_multi_init();
  const std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multiGuard(multi,
                                                                         &curl_multi_cleanup);
  curl_multi_add_handle(multi, curl);
  CURLcode result = CURLE_OK;
  // A server that accepts and then says nothing, or trickles a byte now
  // and then, must not hold the caller for ever.
  const auto readLimit =
      std::chrono::milliseconds(ReadTimeoutMs > 0 ? ReadTimeoutMs : context_.Timeouts.ReadMs);
  const auto deadline =
      DeadlineMs == kNoDeadline
          ? Clock::time_point::max()
          : Clock::now() + std::chrono::milliseconds(DeadlineMs > 0 ? DeadlineMs
                                                                    : context_.Timeouts.DeadlineMs);
  const char* gaveUp = nullptr;
  transfer.lastData = Clock::now();
  auto lastIdle = Clock::now();
  while (true) {
    if (context_.Cancelled()) {
      gaveUp = kCancelled;
      break;
    }
    int running = 0;
    curl_multi_perform(multi, &running);
    int queued = 0;
    if (CURLMsg* msg = curl_multi_info_read(multi, &queued); msg && msg->msg == CURLMSG_DONE) {
      result = msg->data.result;
      break;
    }
    const auto now = Clock::now();
    if (now - transfer.lastData > readLimit) {
      gaveUp = kReadTimeout;
      break;
    }
    if (now > deadline) {
      gaveUp = kTookTooLong;
      break;
    }
    // The wait ends when the idle hook is due, not a whole slice after an
    // early wake-up: the window stays alive however slowly the data
    // trickles in.
    const auto idleDue = lastIdle + std::chrono::milliseconds(kIdleSliceMs);
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(idleDue - Clock::now());
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::max<int64_t>(0, wait.count())),
                    nullptr);
    if (Clock::now() >= idleDue) {
      context_.RunIdleHook();
      lastIdle = Clock::now();
    }
  }
  curl_multi_remove_handle(multi, curl);
  // The connection is not kept: FORBID_REUSE closed it with the transfer.
  if (AllowCookies) KeepCookies(curl);

  if (gaveUp) throw ENetError(gaveUp);
  if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
    throw ENetError("Response too large");
  }
  if (result != CURLE_OK) {
    // A proxy that would not open the tunnel answered with a status of its
    // own (407 for credentials it refuses): that status, as a proxy
    // forwarding a plain request gives it.
    long connectCode = 0;
    curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &connectCode);
    if (connectCode >= 300 && connectCode == responseCode_) {
      throw EHttpProtocolError(responseCode_, statusLine_, std::move(transfer.body));
    }
    switch (result) {
      case CURLE_GOT_NOTHING:
      case CURLE_PARTIAL_FILE:
        throw ENetError(kConnectionClosed);
      case CURLE_OPERATION_TIMEDOUT:
        throw ENetError(kReadTimeout);
      default:
        break;
    }
    throw ENetError(errorText[0] ? errorText : curl_easy_strerror(result));
  }
  if ((responseCode_ >= 200 && responseCode_ <= 299) || responseCode_ == 500) {
    return std::move(transfer.body);
  }
  throw EHttpProtocolError(responseCode_, statusLine_, std::move(transfer.body));
}

}  // namespace qgm
