#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/util/SingleLine.h"

namespace qgm {

// A failed network call. The two transient failures that callers retry carry
// exactly the messages kReadTimeout and kConnectionClosed.
class ENetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kReadTimeout = "Read Timeout";
inline constexpr const char* kConnectionClosed = "Connection Closed Gracefully.";
// A call abandoned because the program is ending (TNetContext::Cancel).
inline constexpr const char* kCancelled = "Cancelled";
// A call that kept getting data but ran past its overall deadline.
inline constexpr const char* kTookTooLong = "The server took too long to answer.";

// An HTTP reply whose status is neither 2xx nor 500. The message is the
// reply's status line; the error body is kept for whoever wants it.
class EHttpProtocolError : public ENetError {
 public:
  EHttpProtocolError(int code, const std::string& statusLine, std::string body)
      : ENetError(statusLine), code_(code), body_(std::move(body)) {}
  int Code() const { return code_; }
  const std::string& Body() const { return body_; }

 private:
  int code_;
  std::string body_;
};

// Throws ENetError ("The password holds a line break.") when `value`, bound
// for a protocol command or header, holds a CR, LF or NUL: sent, it would end
// the command early and make the rest a command of its own.
inline void RefuseLineBreaks(std::string_view value, const std::string& what) {
  if (std::string problem = LineBreakProblem(value, what); !problem.empty())
    throw ENetError(problem);
}

}  // namespace qgm
