#pragma once
// The Time Protocol (RFC 868): the server sends the seconds since 1 January
// 1900 00:00 UTC as four big-endian bytes and closes.

#include <cstdint>
#include <string>

#include "core/net/TcpConnection.h"
#include "core/util/DateTime.h"

namespace qgm {

class TTimeClient {
 public:
  explicit TTimeClient(TNetContext& context = TNetContext::Default());

  std::string Host;
  int Port = 37;
  int ReadTimeoutMs = 15000;  // also the connect time-out
  int WaitTimeoutMs = 300;    // longest single wait for data

  // The server's time as local time, half the round trip added (in whole
  // seconds); 0 when any single wait for data exceeds WaitTimeoutMs or the
  // server cannot be reached.
  TDateTime DateTime();
  void Disconnect() { connection_.Close(); }

  // Local time of a time-protocol count plus a delay in whole seconds;
  // counts below 2^31 are taken as after the counter's wrap in 2036.
  static TDateTime FromProtocolSeconds(uint32_t seconds, int64_t extraSeconds);

 private:
  TTcpConnection connection_;
};

}  // namespace qgm
